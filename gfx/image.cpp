#include "gfx/image.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gfx/blit_geometry.h"
#include "gfx/clip_region.h"
#include "gfx/graphics_system.h"
#include "gfx/palette.h"
#include "gfx/pixel_ops.h"
#include "pixel/blit.h"
#include "pixel/blit_select.h"
#include "pixel/pixel_format.h"

Image::Image() {
  registryEntry_ = GraphicsSystem::Enter(REGISTRY_IMAGES, this);
  Image::Reset();
}

Image::~Image() {
  Image::Free();
  GraphicsSystem::Leave(REGISTRY_IMAGES, registryEntry_);
  registryEntry_ = nullptr;
}

std::int32_t Image::Release() {
  if (--references_ <= 0) {
    delete this;
    return 0;
  }
  return references_;
}

void Image::Reset() {
  width_ = height_ = type_ = 0;
  lockPointer_ = nullptr;
  lockPitch_ = lockCount_ = 0;
  sourceKey_ = destKey_ = 0;
  palette_ = nullptr;
  clip_ = nullptr;
}

RECT Image::ClipRect() {
  RECT whole = {0, 0, Width(), Height()};
  if (!clip_) return whole;
  RECT bounds;
  clip_->GetBounds(&bounds);
  // Drawing never leaves the image, whatever the clip says.
  return RECT{std::max(bounds.left, whole.left), std::max(bounds.top, whole.top),
              std::min(bounds.right, whole.right), std::min(bounds.bottom, whole.bottom)};
}

GraphicsStatus Image::DrawOnto(Image* dest, std::int32_t dx, std::int32_t dy, std::int32_t dw,
                               std::int32_t dh, std::int32_t sx, std::int32_t sy, std::int32_t sw,
                               std::int32_t sh, std::uint32_t flags, std::intptr_t aux) {
  if (!dest) return GFX_BAD_ARGUMENT;
  if (dest->type_ == 0 || type_ == 0) return GFX_NO_PIXELS;
  if (PixelDepth(dest->type_) != PixelDepth(type_)) return GFX_TYPES_DIFFER;
  BlitGeometry g;
  if (ClipBlit(dest->ClipRect(), dx, dy, dw, dh, sx, sy, sw, sh, flags, &g) != BLIT_CLIP_VISIBLE)
    return GFX_OK;
  if (!RectInside(g.sx, g.sy, g.sw, g.sh, width_, height_)) return GFX_BAD_ARGUMENT;

  LockedPixels source(this);
  if (source.Status() != GFX_OK) return source.Status();
  LockedPixels target(dest);
  if (target.Status() != GFX_OK) return target.Status();
  const PixelView& s = source.View();
  const PixelView& d = target.View();

  // The mask modes take a type-4 mask image of the source's size through aux.
  const bool maskMode = (flags & (BLIT_MASKBLEND | BLIT_MASKDITHER)) != 0;
  Image* maskImage = maskMode ? AuxImage(aux) : nullptr;
  LockedPixels mask(maskImage && maskImage->Type() == PIXEL_INDEX8 ? maskImage : nullptr);
  const bool maskReady = mask.Status() == GFX_OK &&
                         RectInside(g.sx, g.sy, g.sw, g.sh, mask.View().width, mask.View().height);

  BlitRequest request;
  request.type = type_;
  request.flags = flags;
  request.mmx = GraphicsSystem::MmxEnabled();
  request.scaled = dw != sw || dh != sh;
  request.maskReady = maskReady;
  BlitOperands o;
  o.dst = d.top;
  o.dstPitch = d.pitch;
  o.dx = g.dx;
  o.dy = g.dy;
  o.width = g.dw;
  o.height = g.dh;
  o.src = s.top;
  o.srcPitch = s.pitch;
  o.sx = g.sx;
  o.sy = g.sy;
  o.srcWidth = g.sw;
  o.srcHeight = g.sh;
  o.flags = flags;
  o.srcKey = sourceKey_;
  o.dstKey = dest->destKey_;
  o.level = maskMode ? kBlitOpaque : std::int32_t(std::clamp<std::intptr_t>(aux, 0, kBlitOpaque));
  o.mask = maskReady ? mask.View().top : nullptr;
  o.maskPitch = maskReady ? mask.View().pitch : 0;
  if (!request.scaled) {
    // An unscaled request copies exactly the clipped size.
    o.srcWidth = o.width;
    o.srcHeight = o.height;
  }
  RunBlit(SelectBlitKernel(request), o);
  source.Unlock();
  target.Unlock();
  mask.Unlock();
  return GFX_OK;
}

GraphicsStatus Image::Create(std::int32_t, std::int32_t, std::uint16_t, std::int32_t,
                             std::int32_t) {
  return GFX_UNSUPPORTED;
}

GraphicsStatus Image::Load(const void*, std::uint32_t, HMODULE, const char*) {
  return GFX_UNSUPPORTED;
}

GraphicsStatus Image::CopyFrom(Image* source) {
  if (!source) return GFX_BAD_ARGUMENT;
  if (source == this) return GFX_OK;
  LockedPixels from(source);
  if (from.Status() != GFX_OK) return from.Status();
  Free();
  GraphicsStatus status = Create(source->width_, source->height_, source->type_, 0, 0);
  if (status != GFX_OK) return status;
  {
    LockedPixels to(this);
    if (to.Status() != GFX_OK) return to.Status();
    const PixelView f = from.View(), t = to.View();
    const std::size_t rowBytes = std::size_t(PixelRowBytes(width_, PixelDepth(type_)));
    // Both views run top to bottom, so rows change order exactly when the images disagree
    // about orientation.
    for (std::int32_t row = 0; row < t.height; ++row)
      std::memcpy(t.top + std::ptrdiff_t(row) * t.pitch, f.top + std::ptrdiff_t(row) * f.pitch,
                  rowBytes);
  }
  if (Palette* sourcePalette = source->GetPalette()) {
    if (Palette* copy = NewPalette()) {
      copy->CopyFrom(sourcePalette);
      SetPalette(copy);
      copy->Release();
    }
  }
  return GFX_OK;
}

GraphicsStatus Image::Convert(std::uint16_t, Palette*, std::uint32_t, std::uint32_t) {
  return GFX_UNSUPPORTED;
}

GraphicsStatus Image::Free() {
  Image::SetPalette(nullptr);
  Image::SetClip(nullptr);
  Image::Reset();
  return GFX_OK;
}

std::int32_t Image::Kind() const { return IMAGE_KIND_BASE; }
std::int32_t Image::Width() { return width_; }
std::int32_t Image::Height() { return height_; }
Palette* Image::GetPalette() { return palette_; }
GraphicsStatus Image::SyncPalette() { return GFX_UNSUPPORTED; }

GraphicsStatus Image::SetPalette(Palette* palette) {
  if (palette) palette->AddRef();
  if (palette_) palette_->Release();
  palette_ = palette;
  return GFX_OK;
}

GraphicsStatus Image::SetTablePalette(Palette* palette) {
  if (type_ == 0) return GFX_NO_PIXELS;
  if (!palette) return Image::SetPalette(nullptr);
  const std::uint32_t depth = PixelDepth(type_);
  if (palette->Count() == 0) return GFX_PALETTE_EMPTY;
  if (depth < 1 || depth > 8 || palette->Count() != (1 << depth)) return GFX_PALETTE_LENGTH;
  Image::SetPalette(palette);
  paletteVersionSeen_ = palette->ChangeCounter() - 1;
  return SyncPalette();
}

Palette* Image::NewPalette() { return new (std::nothrow) Palette; }
ClipRegion* Image::GetClip() { return clip_; }

GraphicsStatus Image::SetClip(ClipRegion* clip) {
  if (clip) clip->AddRef();
  if (clip_) clip_->Release();
  clip_ = clip;
  return GFX_OK;
}

ClipRegion* Image::NewClip() { return new (std::nothrow) ClipRegion; }

GraphicsStatus Image::BlitFrom(std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh,
                               Image* source, std::int32_t sx, std::int32_t sy, std::int32_t sw,
                               std::int32_t sh, std::uint32_t flags, std::intptr_t aux) {
  if (!source) return GFX_BAD_ARGUMENT;
  return source->DrawOnto(this, dx, dy, dw, dh, sx, sy, sw, sh, flags, aux);
}

GraphicsStatus Image::FillRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                               std::uint32_t colour) {
  const RECT clip = ClipRect();
  const std::int64_t left = std::max<std::int64_t>(x, clip.left);
  const std::int64_t top = std::max<std::int64_t>(y, clip.top);
  const std::int64_t right = std::min<std::int64_t>(std::int64_t(x) + w, clip.right);
  const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(y) + h, clip.bottom);
  if (right <= left || bottom <= top) return GFX_OK;
  LockedPixels pixels(this);
  if (pixels.Status() != GFX_OK) return pixels.Status();
  FillPixels(pixels.View(), std::int32_t(left), std::int32_t(top), std::int32_t(right - left),
             std::int32_t(bottom - top), colour);
  return GFX_OK;
}

GraphicsStatus Image::ReservedOp(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                 std::int32_t, std::int32_t, std::int32_t) {
  return GFX_UNSUPPORTED;
}

GraphicsStatus Image::DrawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                               std::uint32_t colour) {
  const RECT clip = ClipRect();
  if (clip.right <= clip.left || clip.bottom <= clip.top) return GFX_OK;
  LineSegment segment = {x0, y0, x1, y1};
  if (!ClipLine(LineClipRect{clip.left, clip.top, clip.right - 1, clip.bottom - 1}, &segment))
    return GFX_OK;
  LockedPixels pixels(this);
  if (pixels.Status() != GFX_OK) return pixels.Status();
  DrawPixelLine(pixels.View(), segment, colour);
  return GFX_OK;
}

std::uint32_t Image::GetPixel(std::int32_t x, std::int32_t y) {
  const std::uint32_t bytes = PixelDepth(type_) / 8;
  if (type_ == 0 || bytes == 0 || x < 0 || x >= width_ || y < 0 || y >= height_) return 0;
  LockedPixels pixels(this);
  if (pixels.Status() != GFX_OK) return 0;
  const std::uint8_t* p = pixels.View().top + std::ptrdiff_t(y) * pixels.View().pitch + x * bytes;
  std::uint32_t value = 0;
  for (std::uint32_t i = 0; i < bytes; ++i) value |= std::uint32_t(p[i]) << (8 * i);
  return value;
}

void Image::SetPixel(std::int32_t x, std::int32_t y, std::uint32_t value) {
  const std::uint32_t bytes = PixelDepth(type_) / 8;
  if (type_ == 0 || bytes == 0 || x < 0 || x >= width_ || y < 0 || y >= height_) return;
  LockedPixels pixels(this);
  if (pixels.Status() != GFX_OK) return;
  std::uint8_t* p = pixels.View().top + std::ptrdiff_t(y) * pixels.View().pitch + x * bytes;
  for (std::uint32_t i = 0; i < bytes; ++i) p[i] = std::uint8_t(value >> (8 * i));
}

GraphicsStatus Image::Lock(std::uint8_t**, std::int32_t*) { return GFX_UNSUPPORTED; }
GraphicsStatus Image::Unlock() { return GFX_UNSUPPORTED; }
void Image::Prefault() {}
HDC Image::LockDC() { return nullptr; }
void Image::UnlockDC() {}
std::int32_t Image::IsBottomUp() { return 0; }
