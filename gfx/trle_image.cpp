#include "gfx/trle_image.h"

#include <algorithm>
#include <cstring>

#include "gfx/blit_geometry.h"
#include "gfx/graphics_system.h"
#include "gfx/memory_block.h"
#include "gfx/palette.h"
#include "gfx/pixel_ops.h"
#include "pixel/rle_blit.h"
#include "sprite/sprite_tags.h"
#include "sprite/trle.h"

namespace {

// Kernel choice by sprite type (equal to the destination's): the first row for the type
// whose MMX requirement holds wins.
struct AlphaKernelRow {
  std::uint16_t type;
  bool needsMmx;
  AlphaRleBlitKernel kernel;
};

const AlphaKernelRow kAlphaKernels[] = {
    {PIXEL_INDEX8, false, AlphaRleBlit8},      {PIXEL_RGB555, false, AlphaRleBlit555},
    {PIXEL_BGR555, false, AlphaRleBlit555},    {PIXEL_RGB565, false, AlphaRleBlit565},
    {PIXEL_BGR565, false, AlphaRleBlit565},    {PIXEL_RGB24, false, AlphaRleBlit24},
    {PIXEL_BGR24, false, AlphaRleBlit24},      {PIXEL_RGB32, true, AlphaRleBlit32Mmx},
    {PIXEL_RGB32, false, AlphaRleBlit32},      {PIXEL_BGR32, true, AlphaRleBlit32Mmx},
    {PIXEL_BGR32, false, AlphaRleBlit32},
};

AlphaRleBlitKernel SelectAlphaKernel(std::uint16_t type, bool mmx) {
  for (const AlphaKernelRow& row : kAlphaKernels)
    if (row.type == type && (!row.needsMmx || mmx)) return row.kernel;
  return nullptr;
}

}  // namespace

std::int32_t TrleImage::Kind() const { return IMAGE_KIND_TRLE; }

GraphicsStatus TrleImage::Attach(MemoryBlock* block) {
  Free();
  if (InstallBlock(block) != GFX_OK) return GFX_BAD_ARGUMENT;
  // Checked once here, so the kernels can draw every row without a test.
  return FinishAttach(Header()->biCompression == TAG_TRLE && ValidateTrle(Header(), dibBytes_));
}

GraphicsStatus TrleImage::DrawOnto(Image* dest, std::int32_t dx, std::int32_t dy, std::int32_t dw,
                                   std::int32_t dh, std::int32_t sx, std::int32_t sy,
                                   std::int32_t sw, std::int32_t sh, std::uint32_t flags,
                                   std::intptr_t aux) {
  Image* maskImage = AuxImage(aux);
  if (!dest || !maskImage) return GFX_BAD_ARGUMENT;
  if (dest->Type() == 0 || type_ == 0) return GFX_NO_PIXELS;
  if (dest->Type() != type_) return GFX_TYPES_DIFFER;
  // The kernels read the mask as a "TRLE" body with the sprite's rows: it must be one of
  // ours, and its rows must match.
  if (maskImage->Type() != PIXEL_INDEX8 || maskImage->Kind() != IMAGE_KIND_TRLE)
    return GFX_BAD_ARGUMENT;
  auto* mask = static_cast<TrleImage*>(maskImage);
  if (!mask->Header() ||
      !ValidateTrleMask(Header(), dibBytes_, mask->Header(), mask->DibBytes()))
    return GFX_BAD_ARGUMENT;

  DrawStart start(this, dest, dx, dy, dw, dh, sx, sy, sw, sh, flags);
  if (!start.Ready()) return start.Status();

  const AlphaRleBlitKernel kernel = SelectAlphaKernel(type_, GraphicsSystem::MmxEnabled());
  if (!kernel) return GFX_OK;
  const PixelView& view = start.Target();
  const BlitGeometry& g = start.Geometry();
  kernel(view.top, view.pitch, g.dx, g.dy, g.dw, g.dh, Header(), mask->Header(), g.sx, g.sy,
         flags);
  return GFX_OK;
}

GraphicsStatus TrleImage::Convert(std::uint16_t type, Palette* palette, std::uint32_t flags,
                                  std::uint32_t) {
  if (type_ == 0) return GFX_NO_PIXELS;
  if (type == type_ && type != PIXEL_INDEX8) return GFX_OK;
  // An 8-bit result needs the palette it indexes.
  if (type == PIXEL_INDEX8 && (!palette || palette->Count() == 0)) return GFX_BAD_ARGUMENT;
  // A palette of fewer than 256 entries: the missing ones are flagged 1, which the
  // nearest-colour search never picks.
  PaletteEntry entries[256];
  const std::size_t count = palette ? std::min<std::size_t>(palette->Count(), 256) : 0;
  for (std::size_t i = 0; i < 256; ++i) entries[i] = PaletteEntry{0, 0, 0, 1};
  if (count && palette->Entries())
    std::memcpy(entries, palette->Entries(), sizeof(PaletteEntry) * count);
  SIZE_T bytes = 0;
  BITMAPINFOHEADER* result = nullptr;
  if (type == PIXEL_INDEX8 && (flags & CONVERT_INVERSE_MAP)) {
    const InverseColourMap* map = palette->InverseMap();
    if (!map) return GFX_CONVERSION_EMPTY;
    result = TrleToIndexed(Header(), dibBytes_, entries, map, &bytes);
  } else {
    result = ConvertTrle(Header(), dibBytes_, type, entries, &bytes);
  }
  if (!result) return GFX_CONVERSION_EMPTY;
  MemoryBlock* block = WrapOwned(result, std::uint32_t(bytes));
  if (!block) return GFX_CONVERSION_EMPTY;
  return Attach(block) == GFX_OK ? GFX_OK : GFX_CONVERSION_EMPTY;
}
