// A TrleImage sprite and mask of arbitrary bytes (framed as a pair): whatever Attach
// accepts draws through the mask at every type it converts to, with and without the MMX
// kernels, for placements that clip at each edge, without reading or writing outside a
// buffer; a mask whose rows differ from the sprite's is refused before anything is drawn.
#include "gfx/graphics_system.h"
#include "gfx/palette.h"
#include "gfx/trle_image.h"
#include "gfx/wrapped_memory_block.h"
#include "pixel/blit.h"
#include "sprite/trle.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr int kScreenW = 40, kScreenH = 24;

TrleImage* AttachBytes(const std::vector<BYTE>& bytes) {
  TrleImage* image = new TrleImage;
  void* memory = bytes.empty() ? nullptr : GlobalAlloc(GMEM_FIXED, bytes.size());
  if (memory) {
    std::memcpy(memory, bytes.data(), bytes.size());
    if (image->Attach(new WrappedMemoryBlock(memory, std::uint32_t(bytes.size()), true, false)) ==
        GFX_OK)
      return image;
  }
  image->Release();
  return nullptr;
}

// Draws at four clipped placements and one inside; every draw gives `expected`.
void DrawEverywhere(TrleImage* sprite, TrleImage* mask, std::int32_t expected) {
  PackedDibImage* screen = new PackedDibImage;
  FUZZ_CHECK(screen->Create(kScreenW, kScreenH, sprite->Type()) == GFX_OK);
  FUZZ_CHECK(screen->FillRect(0, 0, kScreenW, kScreenH, 0x3C3C3C3C) == GFX_OK);
  const int w = sprite->Width(), h = sprite->Height();
  const int xs[] = {-w / 2, kScreenW - w / 2, 2};
  const int ys[] = {-h / 2, kScreenH - h / 2, 1};
  const std::uint32_t flags[] = {0, BLIT_MIRROR, BLIT_FLIP, BLIT_MIRROR | BLIT_FLIP};
  for (int i = 0; i < 5; ++i) {
    const int sx = i == 4 ? w / 3 : 0, sy = i == 4 ? h / 4 : 0;
    FUZZ_CHECK(screen->BlitFrom(xs[i % 3], ys[(i + i / 3) % 3], w - sx, h - sy, sprite, sx, sy,
                                w - sx, h - sy, flags[i % 4], AuxOf(mask)) == expected);
  }
  screen->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static GraphicsSystem* system = new GraphicsSystem;
  FuzzPair pair;
  if (size > (1u << 20) || !SplitPair(data, size, &pair)) return 0;
  TrleImage* sprite = AttachBytes(pair.first);
  TrleImage* mask = AttachBytes(pair.second);
  if (sprite && mask) {
    const bool matches = ValidateTrleMask(sprite->Header(), sprite->DibBytes(), mask->Header(),
                                          mask->DibBytes());
    const std::int32_t expected = matches ? GFX_OK : GFX_BAD_ARGUMENT;
    Palette* palette = new Palette;
    FUZZ_CHECK(palette->Create(256) == PALETTE_OK);
    PaletteEntry entries[256];
    for (int i = 0; i < 256; ++i) entries[i] = {BYTE(i * 7), BYTE(i * 57), BYTE(i), 0};
    FUZZ_CHECK(palette->SetEntries(entries, 0, 256) == PALETTE_OK);
    // Conversions keep every row's skip and count, so the mask keeps fitting.
    for (std::uint16_t type : {std::uint16_t(0), std::uint16_t(PIXEL_RGB565),
                               std::uint16_t(PIXEL_RGB32), std::uint16_t(PIXEL_RGB555),
                               std::uint16_t(PIXEL_RGB24), std::uint16_t(PIXEL_INDEX8)}) {
      if (type != 0) {
        const std::uint32_t how = type == PIXEL_INDEX8 ? data[size - 1] & CONVERT_INVERSE_MAP : 0;
        if (sprite->Convert(type, palette, how) != GFX_OK) break;
        FUZZ_CHECK(sprite->Type() == type);
      }
      for (std::uint32_t init : {0u, GFX_INIT_NO_MMX}) {
        system->Init(nullptr, nullptr, init, 0);
        DrawEverywhere(sprite, mask, expected);
      }
    }
    palette->Release();
  }
  if (sprite) sprite->Release();
  if (mask) mask->Release();
  return 0;
}
