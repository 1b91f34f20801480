#include "gfx/arle_image.h"

#include <algorithm>
#include <cstring>

#include "gfx/blit_geometry.h"
#include "gfx/memory_block.h"
#include "gfx/palette.h"
#include "gfx/pixel_ops.h"
#include "pixel/blit.h"
#include "pixel/rle_blit.h"
#include "sprite/arle.h"
#include "sprite/sprite_tags.h"

namespace {

// Kernel choice by destination depth (and 555/565 layout) and flags: the first row whose
// depth and layout match and whose flags test passes (0 passes always) wins.
enum Layout { ANY_LAYOUT, LAYOUT_555, LAYOUT_565 };

struct RleKernelRow {
  std::uint32_t depth;
  Layout layout;
  std::uint32_t anyOf;
  RleBlitKernel kernel;
};

const RleKernelRow kRleKernels[] = {
    {8, ANY_LAYOUT, BLIT_STIPPLE | BLIT_BLEND, RleStippleBlit8},
    {8, ANY_LAYOUT, 0, RleBlit8},
    {16, LAYOUT_555, BLIT_BLEND, RleBlendBlit555},
    {16, LAYOUT_565, BLIT_BLEND, RleBlendBlit565},
    {16, ANY_LAYOUT, BLIT_STIPPLE, RleStippleBlit16},
    {16, ANY_LAYOUT, 0, RleBlit16},
    {24, ANY_LAYOUT, BLIT_BLEND, RleBlendBlit24},
    {24, ANY_LAYOUT, BLIT_STIPPLE, RleStippleBlit24},
    {24, ANY_LAYOUT, 0, RleBlit24},
    {32, ANY_LAYOUT, BLIT_BLEND, RleBlendBlit32},
    {32, ANY_LAYOUT, BLIT_STIPPLE, RleStippleBlit32},
    {32, ANY_LAYOUT, 0, RleBlit32},
};

RleBlitKernel SelectRleKernel(std::uint16_t destType, std::uint32_t flags) {
  const std::uint32_t depth = PixelDepth(destType);
  const Layout layout = IsPixel565(destType) ? LAYOUT_565 : LAYOUT_555;
  for (const RleKernelRow& row : kRleKernels) {
    if (row.depth != depth || (row.layout != ANY_LAYOUT && row.layout != layout)) continue;
    if (row.anyOf == 0 || (flags & row.anyOf) != 0) return row.kernel;
  }
  return nullptr;  // depths 1, 2 and 4 have no run-length kernels
}

bool IsArleHeader(const BITMAPINFOHEADER* header, std::uint32_t tag) {
  return header && header->biBitCount == 8 && header->biCompression == tag;
}

}  // namespace

std::int32_t ArleImage::Kind() const { return IMAGE_KIND_ARLE; }

GraphicsStatus ArleImage::Attach(MemoryBlock* block) {
  Free();
  if (InstallBlock(block) != GFX_OK) return GFX_BAD_ARGUMENT;
  if (IsArleHeader(Header(), TAG_PRLE)) {
    SIZE_T bytes = 0;
    BITMAPINFOHEADER* arle = PrleToArle(Header(), dibBytes_, &bytes);
    Free();
    if (!arle) return GFX_BAD_ARGUMENT;
    MemoryBlock* expanded = WrapOwned(arle, std::uint32_t(bytes));
    if (!expanded || InstallBlock(expanded) != GFX_OK) return GFX_BAD_ARGUMENT;
  }
  // Checked once here, so the kernels can draw every row without a test.
  return FinishAttach(IsArleHeader(Header(), TAG_ARLE) && ValidateArle(Header(), dibBytes_));
}

GraphicsStatus ArleImage::DrawOnto(Image* dest, std::int32_t dx, std::int32_t dy, std::int32_t dw,
                                   std::int32_t dh, std::int32_t sx, std::int32_t sy,
                                   std::int32_t sw, std::int32_t sh, std::uint32_t flags,
                                   std::intptr_t aux) {
  if (!dest) return GFX_BAD_ARGUMENT;
  if (dest->Type() == 0 || type_ == 0) return GFX_NO_PIXELS;
  DrawStart start(this, dest, dx, dy, dw, dh, sx, sy, sw, sh, flags);
  if (!start.Ready()) return start.Status();

  const RleBlitKernel kernel = SelectRleKernel(dest->Type(), flags);
  if (!kernel) return GFX_OK;
  // Deeper than 8 bits, each index goes through the palette's table for the destination
  // type; without one nothing is drawn.
  const PixelLookupTable* table = nullptr;
  if (PixelDepth(dest->Type()) > 8) {
    Palette* palette = GetPalette();
    table = palette ? palette->PixelTable(dest->Type()) : nullptr;
    if (!table) return GFX_OK;
  }
  const std::int32_t level = std::int32_t(std::clamp<std::intptr_t>(aux, 0, kBlitOpaque));
  const PixelView& view = start.Target();
  const BlitGeometry& g = start.Geometry();
  kernel(view.top, view.pitch, g.dx, g.dy, g.dw, g.dh, Header(), g.sx, g.sy, flags, sourceKey_,
         dest->DestKey(), level, table);
  return GFX_OK;
}

GraphicsStatus ArleImage::Convert(std::uint16_t, Palette* palette, std::uint32_t, std::uint32_t) {
  if (type_ == 0) return GFX_NO_PIXELS;
  if (!palette) return GFX_BAD_ARGUMENT;
  // The remap reads 256 entries; SetPalette would refuse any other length anyway.
  if (palette->Count() == 0) return GFX_PALETTE_EMPTY;
  if (palette->Count() != 256) return GFX_PALETTE_LENGTH;
  if (block_->IsReadOnly() || block_->Kind() == MEMORY_BLOCK_RESOURCE ||
      block_->Kind() == MEMORY_BLOCK_FILE_MAPPING) {
    // A resource or a mapped file is never written: the sprite moves to memory of its own.
    void* copy = GlobalAlloc(GMEM_FIXED, dibBytes_);
    if (!copy) return GFX_BAD_ARGUMENT;
    std::memcpy(copy, dib_, dibBytes_);
    if (!ReplaceBitmap(copy, dibBytes_)) return GFX_BAD_ARGUMENT;
    encoded_ = 0;
  }
  // Refused when the colour table has fewer than 256 entries; the sprite is unchanged.
  if (!RemapArle(Header(), dibBytes_, palette->Entries())) return GFX_BAD_ARGUMENT;
  return SetPalette(palette);
}
