// PackedDibImage of arbitrary bytes: whatever Attach accepts (after decoding, when encoded)
// converts to every target type, with and without diffusion and through the inverse map,
// and every result draws onto a destination of its depth, clipped at each edge, scaled,
// mirrored and through every flag, without reading or writing outside a buffer.
#include "gfx/packed_dib_image.h"
#include "gfx/palette.h"
#include "gfx/wrapped_memory_block.h"
#include "pixel/blit.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr int kScreenW = 40, kScreenH = 24;

const std::uint32_t kFlags[] = {
    0,
    BLIT_SRCKEY | BLIT_MIRROR,
    BLIT_DSTKEY | BLIT_FLIP,
    BLIT_STIPPLE | BLIT_MIRROR | BLIT_FLIP,
    BLIT_BLEND | BLIT_SRCKEY,
    BLIT_MASKBLEND,
    BLIT_MASKDITHER | BLIT_MIRROR,
};

void DrawEverywhere(PackedDibImage* picture, PackedDibImage* mask, std::intptr_t level) {
  PackedDibImage* screen = new PackedDibImage;
  if (screen->Create(kScreenW, kScreenH, picture->Type()) != GFX_OK) {
    screen->Release();  // types without a header form (none come out of Convert)
    return;
  }
  const int w = picture->Width(), h = picture->Height();
  const int places[][4] = {{-w / 2, -h / 2, w, h},
                           {kScreenW - w / 2, kScreenH - h / 2, w, h},
                           {3, 2, w * 2, h * 3},
                           {-5, 1, w / 2 + 1, h / 3 + 1},
                           {1, -3, kScreenW * 2, 7}};
  for (std::uint32_t flags : kFlags) {
    const std::intptr_t aux = (flags & (BLIT_MASKBLEND | BLIT_MASKDITHER)) ? AuxOf(mask) : level;
    for (const auto& p : places) {
      const std::int32_t status =
          screen->BlitFrom(p[0], p[1], p[2], p[3], picture, 0, 0, w, h, flags, aux);
      FUZZ_CHECK(status == GFX_OK);
    }
  }
  FUZZ_CHECK(screen->BlitFrom(0, 0, 1, 1, picture, w, 0, 1, 1, 0, 0) == GFX_BAD_ARGUMENT);
  screen->FillRect(-3, -3, w, h, 0x12345678);
  screen->DrawLine(-10, -7, w * 2, h * 3, 0x9ABC);
  screen->Release();
}

// One palette for every input, so its inverse map is built once.
Palette* SharedPalette() {
  static Palette* palette = [] {
    auto* p = new Palette;
    FUZZ_CHECK(p->Create(256) == PALETTE_OK);
    PaletteEntry entries[256];
    for (int i = 0; i < 256; ++i)
      entries[i] = {BYTE(i * 29), BYTE(i * 13), BYTE(255 - i), BYTE(i % 31 == 0)};
    FUZZ_CHECK(p->SetEntries(entries, 0, 256) == PALETTE_OK);
    return p;
  }();
  return palette;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > (1u << 20)) return 0;
  void* memory = GlobalAlloc(GMEM_FIXED, size);
  if (!memory) return 0;
  std::memcpy(memory, data, size);
  PackedDibImage* source = new PackedDibImage;
  if (source->Attach(new WrappedMemoryBlock(memory, std::uint32_t(size), true, false)) != GFX_OK) {
    FUZZ_CHECK(source->Type() == 0);
    source->Release();
    return 0;
  }
  if (source->IsEncoded() && source->Decode() != GFX_OK) {
    source->Release();
    return 0;
  }
  // Keep the work per input small: the pixels a conversion reads grow with the picture.
  if (std::uint32_t(source->Width()) * source->Height() > 64 * 64) {
    source->Release();
    return 0;
  }
  source->SetSourceKey(data[size - 1]);
  PackedDibImage* mask = new PackedDibImage;
  FUZZ_CHECK(mask->Create(source->Width(), source->Height(), PIXEL_INDEX8) == GFX_OK);
  for (int y = 0; y < source->Height(); ++y)
    for (int x = 0; x < source->Width(); ++x) mask->SetPixel(x, y, std::uint32_t(x * 37 + y * 11));

  Palette* palette = SharedPalette();

  const std::intptr_t level = data[size / 2];
  const std::uint16_t targets[] = {PIXEL_INDEX8, PIXEL_RGB555, PIXEL_RGB565, PIXEL_RGB24,
                                   PIXEL_RGB32};
  for (std::uint16_t type : targets) {
    for (std::uint32_t flags : {0u, 1u, 2u, 3u}) {
      PackedDibImage* converted = new PackedDibImage;
      FUZZ_CHECK(converted->CopyFrom(source) == GFX_OK);
      const std::int32_t status = converted->Convert(type, palette, flags);
      // Only sources of depth 1, 2 or 4 convert to nothing.
      FUZZ_CHECK(status == GFX_OK || (status == GFX_CONVERSION_EMPTY && source->Type() <= 3));
      if (status == GFX_OK) {
        FUZZ_CHECK(converted->Type() == type);
        DrawEverywhere(converted, mask, level);
      }
      converted->Release();
    }
  }
  DrawEverywhere(source, mask, level);
  mask->Release();
  source->Release();
  return 0;
}
