// DibSurface: an off-screen image whose pixels are a top-down DIB section selected into
// its own memory device context, so the software kernels write its bits in place and GDI
// (text, StretchBlt) draws on the same memory. The back buffer of the Display and the
// class of the scene's working images. Target only.
#pragma once

#include <cstdint>

#include "gfx/image.h"

class DibSurface : public Image {
 public:
  DibSurface();
  ~DibSurface() override;

  void Reset() override;
  // A top-down section for (width, height, type); the bits are not cleared and an 8-bit
  // colour table starts black.
  [[nodiscard]] GraphicsStatus Create(std::int32_t width, std::int32_t height, std::uint16_t type,
                                      std::int32_t reserved0 = 0,
                                      std::int32_t reserved1 = 0) override;
  // Loads through a temporary PackedDibImage (decoded when encoded) and copies it in.
  [[nodiscard]] GraphicsStatus Load(const void* source, std::uint32_t flags, HMODULE module,
                                    const char* resourceType) override;
  // Converts through a temporary PackedDibImage, then takes the palette.
  [[nodiscard]] GraphicsStatus Convert(std::uint16_t type, Palette* palette, std::uint32_t flags,
                                       std::uint32_t reserved = 0) override;
  GraphicsStatus Free() override;
  std::int32_t Kind() const override;
  GraphicsStatus SyncPalette() override;
  GraphicsStatus SetPalette(Palette* palette) override;
  [[nodiscard]] GraphicsStatus Lock(std::uint8_t** bits, std::int32_t* pitch) override;
  GraphicsStatus Unlock() override;
  void Prefault() override;
  HDC LockDC() override;
  void UnlockDC() override;
  std::int32_t IsBottomUp() override;

  HBITMAP Bitmap() const { return bitmap_; }

 private:
  std::int32_t Pitch() const;

  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
  HDC memoryDC_ = nullptr;
  std::uint8_t* bits_ = nullptr;
};
