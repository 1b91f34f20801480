// Helpers shared by the sprite codec tests: plain bitmaps built in memory,
// owners for codec results, and pixel access in picture-row order.
#pragma once

#include "port/win32.h"

#include <cstdint>
#include <random>
#include <vector>

// A codec result: fixed global memory plus its size; freed on destruction.
class CodecResult {
 public:
  CodecResult() = default;
  CodecResult(BITMAPINFOHEADER* dib, SIZE_T bytes) : dib_(dib), bytes_(bytes) {}
  CodecResult(CodecResult&& other) noexcept : dib_(other.dib_), bytes_(other.bytes_) {
    other.dib_ = nullptr;
  }
  CodecResult& operator=(CodecResult&& other) noexcept;
  CodecResult(const CodecResult&) = delete;
  CodecResult& operator=(const CodecResult&) = delete;
  ~CodecResult();

  explicit operator bool() const { return dib_ != nullptr; }
  BITMAPINFOHEADER* get() const { return dib_; }
  BITMAPINFOHEADER* operator->() const { return dib_; }
  SIZE_T bytes() const { return bytes_; }
  BYTE* data() const { return reinterpret_cast<BYTE*>(dib_); }
  std::vector<BYTE> Copy() const { return std::vector<BYTE>(data(), data() + bytes_); }

 private:
  BITMAPINFOHEADER* dib_ = nullptr;
  SIZE_T bytes_ = 0;
};

// Runs a codec of the usual shape on `in` and keeps its result.
template <class Codec, class... Extra>
CodecResult Apply(Codec codec, const std::vector<BYTE>& in, Extra... extra) {
  SIZE_T bytes = 0;
  BITMAPINFOHEADER* out =
      codec(reinterpret_cast<const BITMAPINFOHEADER*>(in.data()), in.size(), extra..., &bytes);
  return CodecResult(out, bytes);
}

inline const BITMAPINFOHEADER* Header(const std::vector<BYTE>& dib) {
  return reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
}

std::uint32_t ReadU32(const BYTE* p);
std::uint16_t ReadU16(const BYTE* p);
void WriteU32(BYTE* p, std::uint32_t v);

// A plain bottom-up bitmap: header, `tableEntries` colour-table entries (or
// the three masks when `masks` is non-empty), then zeroed rows padded to 4
// bytes. biClrUsed is `clrUsed`.
std::vector<BYTE> MakeBitmap(int width, int height, int depth, std::uint32_t compression = 0,
                             std::uint32_t clrUsed = 0, std::uint32_t tableEntries = 256,
                             const std::vector<std::uint32_t>& masks = {});

// Byte offset of the first bit after header and table of a plain bitmap.
std::uint32_t BitsOffset(const std::vector<BYTE>& dib);
std::uint32_t RowBytes(int width, int depth);

// Pointer to picture row r (0 = top) of a plain bottom-up bitmap.
BYTE* PictureRow(std::vector<BYTE>& dib, int r);
const BYTE* PictureRow(const BYTE* dib, int r);

// Fills an 8-bit bitmap's pixels with runs of random lengths (so both fills
// and literals occur), a share `zeroShare` of the runs being zeros, and its
// colour table with random colours. Padding stays zero.
void FillIndexed(std::vector<BYTE>& dib, std::mt19937& rng, double zeroShare = 0.2,
                 int longestRun = 80);

// Fills every pixel byte of any plain bitmap with random bytes.
void FillRandomBits(std::vector<BYTE>& dib, std::mt19937& rng);

// True when two plain bitmaps have the same header (except biCompression and
// biSizeImage, which `decoded` must have 0), colour table and pixels (row
// padding ignored). Reports the first difference through gtest.
bool SamePlainBitmap(const std::vector<BYTE>& original, const CodecResult& decoded);
