// Image: the polymorphic picture of the graphics layer. Every background, sprite,
// back buffer and window is one. The base keeps size, pixel type, lock state, colour
// keys, reference count, palette and clip, and implements the operations that work on
// locked raw pixels for every class that can lock: the raw blit (DrawOnto), the generic
// copy, software fills and lines, and pixel access.
//
// Operations are declared in slot order. Construction never fails; an empty image
// (type 0) answers with status codes (gfx/graphics_status.h).
#pragma once

#include <cstdint>

#include "gfx/graphics_status.h"
#include "port/win32.h"

class ClipRegion;
class Palette;
struct ListNode;

// The class codes Kind answers.
enum ImageKind : std::int32_t {
  IMAGE_KIND_BASE = 0,
  IMAGE_KIND_PACKED_DIB = 1,
  IMAGE_KIND_DIB_SURFACE = 2,
  IMAGE_KIND_ARLE = 3,
  IMAGE_KIND_TRLE = 4,
  IMAGE_KIND_WINDOW_SURFACE = 5,
};

class Image {
 public:
  Image();
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  // 0: clears the fields without releasing anything.
  virtual void Reset();
  // 1: draws this image (the source) onto dest. (dx, dy, dw, dh) is in destination
  // coordinates, (sx, sy, sw, sh) in source coordinates; flags are BlitFlags and aux
  // is the level (0..256) or, for the mask modes, the mask image (see AuxImage).
  [[nodiscard]] virtual GraphicsStatus DrawOnto(Image* dest, std::int32_t dx, std::int32_t dy,
                                                std::int32_t dw, std::int32_t dh, std::int32_t sx,
                                                std::int32_t sy, std::int32_t sw, std::int32_t sh,
                                                std::uint32_t flags, std::intptr_t aux);
  // 2
  virtual ~Image();
  // 3
  [[nodiscard]] virtual GraphicsStatus Create(std::int32_t width, std::int32_t height,
                                              std::uint16_t type, std::int32_t reserved0 = 0,
                                              std::int32_t reserved1 = 0);
  // 4: source is a file name (flags & 0xF == 0), a resource name (1) or a MemoryBlock (2).
  [[nodiscard]] virtual GraphicsStatus Load(const void* source, std::uint32_t flags, HMODULE module,
                                            const char* resourceType);
  // 5
  [[nodiscard]] virtual GraphicsStatus CopyFrom(Image* source);
  // 6
  [[nodiscard]] virtual GraphicsStatus Convert(std::uint16_t type, Palette* palette,
                                               std::uint32_t flags, std::uint32_t reserved = 0);
  // 7
  virtual GraphicsStatus Free();
  // 8: an ImageKind.
  virtual std::int32_t Kind() const;
  // 9, 10
  virtual std::int32_t Width();
  virtual std::int32_t Height();
  // 11..14: getters add no reference; NewPalette hands one to the caller.
  virtual Palette* GetPalette();
  virtual GraphicsStatus SyncPalette();
  virtual GraphicsStatus SetPalette(Palette* palette);
  virtual Palette* NewPalette();
  // 15..17
  virtual ClipRegion* GetClip();
  virtual GraphicsStatus SetClip(ClipRegion* clip);
  virtual ClipRegion* NewClip();
  // 18: the source's DrawOnto onto this image.
  [[nodiscard]] virtual GraphicsStatus BlitFrom(std::int32_t dx, std::int32_t dy, std::int32_t dw,
                                                std::int32_t dh, Image* source, std::int32_t sx,
                                                std::int32_t sy, std::int32_t sw, std::int32_t sh,
                                                std::uint32_t flags, std::intptr_t aux);
  // 19: the colour is a raw pixel value of this image's type.
  virtual GraphicsStatus FillRect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                                  std::uint32_t colour);
  // 20: unused by every class.
  virtual GraphicsStatus ReservedOp(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                    std::int32_t, std::int32_t, std::int32_t);
  // 21
  virtual GraphicsStatus DrawLine(std::int32_t x0, std::int32_t y0, std::int32_t x1,
                                  std::int32_t y1, std::uint32_t colour);
  // 22, 23: raw pixel values, little-endian; out-of-range reads 0 and writes nothing.
  virtual std::uint32_t GetPixel(std::int32_t x, std::int32_t y);
  virtual void SetPixel(std::int32_t x, std::int32_t y, std::uint32_t value);
  // 24, 25: bits is the first byte of the first row in memory, pitch the row length.
  [[nodiscard]] virtual GraphicsStatus Lock(std::uint8_t** bits, std::int32_t* pitch);
  virtual GraphicsStatus Unlock();
  // 26
  virtual void Prefault();
  // 27, 28
  virtual HDC LockDC();
  virtual void UnlockDC();
  // 29
  virtual std::int32_t IsBottomUp();

  // Reference counting: the count starts at 1; Release destroys at 0.
  void AddRef() { ++references_; }
  std::int32_t Release();
  std::int32_t References() const { return references_; }

  std::uint16_t Type() const { return type_; }
  std::uint32_t SourceKey() const { return sourceKey_; }
  void SetSourceKey(std::uint32_t key) { sourceKey_ = key; }
  std::uint32_t DestKey() const { return destKey_; }
  void SetDestKey(std::uint32_t key) { destKey_ = key; }

  // The clip rectangle (left, top, right, bottom) drawing onto this image keeps within:
  // the clip's bounds, or the whole image.
  RECT ClipRect();

 protected:
  // SetPalette for the classes whose pixels index a colour table of their own: the
  // palette must have 2^depth entries (GFX_PALETTE_EMPTY, GFX_PALETTE_LENGTH otherwise);
  // once stored, SyncPalette copies it into the table.
  GraphicsStatus SetTablePalette(Palette* palette);

  std::uint16_t width_ = 0;
  std::uint16_t height_ = 0;
  std::uint16_t type_ = 0;
  void* lockPointer_ = nullptr;  // bits of the outermost Lock, or a window's DC
  std::int32_t lockPitch_ = 0;   // 32-bit: a 65535-pixel 32-bit row needs 18 bits
  std::uint16_t lockCount_ = 0;
  std::uint32_t sourceKey_ = 0;
  std::uint32_t destKey_ = 0;
  // The palette's change counter when its colours were last copied into a colour table.
  std::uint32_t paletteVersionSeen_ = 0;

 private:
  friend class GraphicsSystem;
  std::int32_t references_ = 1;
  ListNode* registryEntry_ = nullptr;
  Palette* palette_ = nullptr;
  ClipRegion* clip_ = nullptr;
};

// The aux argument of DrawOnto/BlitFrom carries a mask image for the mask modes.
inline Image* AuxImage(std::intptr_t aux) { return reinterpret_cast<Image*>(aux); }
inline std::intptr_t AuxOf(Image* mask) { return reinterpret_cast<std::intptr_t>(mask); }
