// ArleImage of arbitrary bytes: whatever Attach accepts draws onto every destination type
// for placements that clip at each edge, sub-rectangles and every flag, without reading or
// writing outside a buffer; a rectangle beyond the sprite is refused.
#include "gfx/arle_image.h"
#include "gfx/palette.h"
#include "gfx/wrapped_memory_block.h"
#include "pixel/blit.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr int kScreenW = 48, kScreenH = 32;

struct Placement {
  int dx, dy;       // in halves of the sprite's size from the screen's corners
  bool part;        // the lower right two thirds of the sprite only
  std::uint32_t flags;
};

const Placement kPlacements[] = {
    {-1, -1, false, 0},
    {0, 0, true, BLIT_SRCKEY | BLIT_MIRROR},
    {1, 1, false, BLIT_DSTKEY | BLIT_FLIP},
    {-1, 1, true, BLIT_STIPPLE | BLIT_MIRROR | BLIT_FLIP | BLIT_SRCKEY},
    {1, -1, false, BLIT_BLEND | BLIT_MIRROR},
    {0, 0, false, BLIT_BLEND | BLIT_STIPPLE | BLIT_FLIP | BLIT_DSTKEY},
};

void DrawEverywhere(ArleImage* sprite, std::uint16_t type, std::intptr_t level) {
  PackedDibImage* screen = new PackedDibImage;
  FUZZ_CHECK(screen->Create(kScreenW, kScreenH, type) == GFX_OK);
  FUZZ_CHECK(screen->FillRect(0, 0, kScreenW, kScreenH, 0x5A5A5A5A) == GFX_OK);
  screen->SetDestKey(0x5A5A5A5A);
  const int w = sprite->Width(), h = sprite->Height();
  for (const Placement& p : kPlacements) {
    const int sx = p.part ? w / 3 : 0, sy = p.part ? h / 3 : 0;
    const int dx = p.dx < 0 ? -w / 2 : p.dx > 0 ? kScreenW - w / 2 : 3;
    const int dy = p.dy < 0 ? -h / 2 : p.dy > 0 ? kScreenH - h / 2 : 2;
    FUZZ_CHECK(screen->BlitFrom(dx, dy, w - sx, h - sy, sprite, sx, sy, w - sx, h - sy, p.flags,
                                level) == GFX_OK);
  }
  FUZZ_CHECK(screen->BlitFrom(0, 0, 1, 1, sprite, w, 0, 1, 1, 0, level) == GFX_BAD_ARGUMENT);
  screen->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > (1u << 20)) return 0;
  void* memory = GlobalAlloc(GMEM_FIXED, size);
  if (!memory) return 0;
  std::memcpy(memory, data, size);
  ArleImage* sprite = new ArleImage;
  if (sprite->Attach(new WrappedMemoryBlock(memory, std::uint32_t(size), true, false)) != GFX_OK) {
    FUZZ_CHECK(sprite->Type() == 0);
    sprite->Release();
    return 0;
  }
  FUZZ_CHECK(sprite->Type() == PIXEL_INDEX8 && sprite->IsEncoded() == 0);
  sprite->SetSourceKey(data[size - 1]);
  const std::intptr_t level = data[size / 2];
  for (std::uint16_t type : {PIXEL_INDEX8, PIXEL_RGB555, PIXEL_RGB565, PIXEL_RGB24, PIXEL_RGB32})
    DrawEverywhere(sprite, type, level);

  // A remap keeps the sprite drawable (it is refused for short colour tables).
  Palette* palette = new Palette;
  FUZZ_CHECK(palette->Create(256) == PALETTE_OK);
  PaletteEntry entries[256];
  for (int i = 0; i < 256; ++i)
    entries[i] = {BYTE(i * 29), BYTE(i * 13), BYTE(255 - i), BYTE(i % 31 == 0)};
  FUZZ_CHECK(palette->SetEntries(entries, 0, 256) == PALETTE_OK);
  const std::int32_t status = sprite->Convert(PIXEL_INDEX8, palette);
  FUZZ_CHECK(status == GFX_OK || status == GFX_BAD_ARGUMENT);
  DrawEverywhere(sprite, PIXEL_INDEX8, level);
  palette->Release();
  sprite->Release();
  return 0;
}
