#include "gfx/dib_surface.h"

#include <algorithm>
#include <new>

#include "gfx/dib_layout.h"
#include "gfx/packed_dib_image.h"
#include "gfx/palette.h"
#include "gfx/prefault.h"
#include "pixel/pixel_format.h"

DibSurface::DibSurface() { DibSurface::Reset(); }

DibSurface::~DibSurface() { DibSurface::Free(); }

void DibSurface::Reset() {
  Image::Reset();
  bitmap_ = nullptr;
  bits_ = nullptr;
}

std::int32_t DibSurface::Kind() const { return IMAGE_KIND_DIB_SURFACE; }
std::int32_t DibSurface::IsBottomUp() { return 0; }

std::int32_t DibSurface::Pitch() const {
  return std::int32_t(PixelRowBytes(width_, PixelDepth(type_)));
}

GraphicsStatus DibSurface::Free() {
  Image::SetPalette(nullptr);
  SetClip(nullptr);
  if (memoryDC_) {
    if (previousBitmap_) SelectObject(memoryDC_, previousBitmap_);
    DeleteDC(memoryDC_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  memoryDC_ = nullptr;
  previousBitmap_ = nullptr;
  Reset();
  return GFX_OK;
}

GraphicsStatus DibSurface::Create(std::int32_t width, std::int32_t height, std::uint16_t type,
                                  std::int32_t, std::int32_t) {
  Free();
  alignas(4) std::uint8_t scratch[kDibScratchBytes];
  const std::uint32_t headerBytes = BuildDibHeader(scratch, width, height, type);
  if (headerBytes == 0 || width < 1 || width > 0xFFFF || height < 1 || height > 0xFFFF)
    return GFX_BAD_ARGUMENT;
  if (PixelRowBytes(std::uint64_t(width), PixelDepth(type)) * std::uint64_t(height) > kMaxDibBytes)
    return GFX_BAD_ARGUMENT;
  auto* info = reinterpret_cast<BITMAPINFO*>(scratch);
  info->bmiHeader.biHeight = -height;  // top-down
  memoryDC_ = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  if (memoryDC_) bitmap_ = CreateDIBSection(memoryDC_, info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_ || !bits) {
    Free();
    return GFX_BAD_ARGUMENT;
  }
  previousBitmap_ = SelectObject(memoryDC_, bitmap_);
  bits_ = static_cast<std::uint8_t*>(bits);
  width_ = std::uint16_t(width);
  height_ = std::uint16_t(height);
  type_ = type;
  return GFX_OK;
}

GraphicsStatus DibSurface::Load(const void* source, std::uint32_t flags, HMODULE module,
                                const char* resourceType) {
  auto* temporary = new (std::nothrow) PackedDibImage;
  if (!temporary) return GFX_BAD_ARGUMENT;
  GraphicsStatus status = temporary->Load(source, flags, module, resourceType);
  if (status == GFX_OK) {
    // An unencoded source answers GFX_NOT_ENCODED and loads as it is; one that fails to
    // decode stays encoded, and the copy reports that.
    (void)temporary->Decode();
    status = CopyFrom(temporary);
  }
  temporary->Release();
  return status;
}

GraphicsStatus DibSurface::Convert(std::uint16_t type, Palette* palette, std::uint32_t flags,
                                   std::uint32_t) {
  if (type_ == 0) return GFX_NO_PIXELS;
  if (!palette && type == type_) return GFX_OK;  // nothing to change, as for packed images
  auto* temporary = new (std::nothrow) PackedDibImage;
  if (!temporary) return GFX_BAD_ARGUMENT;
  GraphicsStatus status = temporary->CopyFrom(this);
  if (status == GFX_OK) {
    Free();
    // A conversion that fails leaves the temporary as it was, so the copy back restores
    // this surface; its status is reported.
    status = temporary->Convert(type, palette, flags);
    const GraphicsStatus copied = CopyFrom(temporary);
    if (status == GFX_OK) status = copied;
    // Deeper types keep no palette: SetPalette refuses one, and nothing depends on it.
    if (status == GFX_OK && palette) (void)SetPalette(palette);
  }
  temporary->Release();
  return status;
}

GraphicsStatus DibSurface::SetPalette(Palette* palette) { return SetTablePalette(palette); }

GraphicsStatus DibSurface::SyncPalette() {
  Palette* palette = GetPalette();
  if (!palette || palette->ChangeCounter() == paletteVersionSeen_ || !memoryDC_) return GFX_OK;
  RGBQUAD quads[256];
  const std::int32_t count = std::min(palette->Count(), 256);
  const PaletteEntry* entries = palette->Entries();
  for (std::int32_t i = 0; i < count; ++i)
    quads[i] = RGBQUAD{entries[i].blue, entries[i].green, entries[i].red, 0};
  SetDIBColorTable(memoryDC_, 0, UINT(count), quads);
  paletteVersionSeen_ = palette->ChangeCounter();
  return GFX_OK;
}

GraphicsStatus DibSurface::Lock(std::uint8_t** bits, std::int32_t* pitch) {
  if (type_ == 0) return GFX_NO_PIXELS;
  GdiFlush();  // pending GDI drawing on the section finishes before the kernels run
  SyncPalette();
  if (bits) *bits = bits_;
  if (pitch) *pitch = Pitch();
  ++lockCount_;
  return GFX_OK;
}

GraphicsStatus DibSurface::Unlock() {
  if (lockCount_ > 0) --lockCount_;
  return GFX_OK;
}

void DibSurface::Prefault() {
  if (bits_) ::Prefault(bits_, std::uint32_t(Pitch()) * height_);
}

HDC DibSurface::LockDC() {
  if (type_ == 0) return nullptr;
  SyncPalette();
  ++lockCount_;
  return memoryDC_;
}

void DibSurface::UnlockDC() {
  if (lockCount_ > 0) --lockCount_;
}
