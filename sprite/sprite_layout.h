// Reading bitmap headers and laying out bitmaps for the sprite codecs.
//
// Every sprite and bitmap handed to a codec is untrusted: it may come from a
// resource library anyone can replace. These helpers copy the header out of
// the caller's bytes (which need not be aligned), check the fields every codec
// relies on, and compute sizes in 64-bit arithmetic so nothing overflows on a
// 32-bit target.
#pragma once

#include "pixel/pixel_format.h"
#include "port/win32.h"

#include <cstdint>
#include <cstring>

// Largest bitmap, sprite or expanded block a codec produces or accepts. Far
// above any picture of the saver; keeps every size well inside SIZE_T on the
// 32-bit target.
constexpr std::uint64_t kMaxCodecBytes = std::uint64_t(1) << 30;

// Widths and heights are 16-bit in the image objects that hold these bitmaps.
constexpr std::uint32_t kMaxDibSide = 65535;

inline std::uint32_t LoadU32(const BYTE* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline std::uint16_t LoadU16(const BYTE* p) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void StoreU32(BYTE* p, std::uint32_t v) { std::memcpy(p, &v, 4); }
inline void StoreU16(BYTE* p, std::uint16_t v) { std::memcpy(p, &v, 2); }

// A header read from untrusted bytes, with the sizes derived from it.
struct SpriteLayout {
  BITMAPINFOHEADER header;  // copy of the 40 header bytes
  std::uint32_t width;      // biWidth, 1..kMaxDibSide
  std::uint32_t height;     // biHeight, 1..kMaxDibSide (bottom-up only)
  std::uint32_t depth;      // biBitCount
  std::uint32_t tableBytes; // colour table (or masks) after the header
  std::uint32_t rowBytes;   // one plain row, padded to a multiple of 4
  std::uint64_t bitsBytes;  // rowBytes x height
  std::uint32_t Offset() const { return 40 + tableBytes; }  // where bits or body start
};

// Reads the header at `dib` (`bytes` readable): biSize 40, positive width and
// height up to kMaxDibSide, a depth of 1, 2, 4, 8, 16, 24 or 32, and at most
// 2^depth colour-table entries at depths up to 8. `masks` says whether a depth
// above 8 carries the 12 bytes of masks after the header. Fills `out`; false
// when any check fails or the header and table do not fit in `bytes`.
[[nodiscard]] bool ReadSpriteLayout(const void* dib, SIZE_T bytes, bool masks, SpriteLayout* out);

// Fixed global-heap memory, freed unless released to the caller. Codecs
// return their results in such blocks (the handle of a fixed block is its
// address); the caller frees them with GlobalFree.
class GlobalBuffer {
 public:
  GlobalBuffer() = default;
  GlobalBuffer(const GlobalBuffer&) = delete;
  GlobalBuffer& operator=(const GlobalBuffer&) = delete;
  ~GlobalBuffer() {
    if (data_) GlobalFree(data_);
  }

  // Allocates `bytes` (at least one) zero-filled bytes; false when the size is
  // above kMaxCodecBytes or the heap refuses.
  [[nodiscard]] bool Allocate(std::uint64_t bytes);
  BYTE* data() const { return data_; }
  std::uint64_t size() const { return size_; }
  // Hands the block to the caller.
  BYTE* Release() {
    BYTE* p = data_;
    data_ = nullptr;
    size_ = 0;
    return p;
  }

 private:
  BYTE* data_ = nullptr;
  std::uint64_t size_ = 0;
};

// Hands a finished result to the caller, reporting its size when asked.
inline BITMAPINFOHEADER* ReleaseDib(GlobalBuffer& buffer, SIZE_T* outBytes) {
  if (outBytes) *outBytes = SIZE_T(buffer.size());
  return reinterpret_cast<BITMAPINFOHEADER*>(buffer.Release());
}
