// Packed bitmaps: encoder, validator and decoder. The byte layout is
// described in sprite/packed.h.
#include "sprite/packed.h"

#include "sprite/memo_block.h"
#include "sprite/sprite_layout.h"
#include "sprite/sprite_tags.h"

namespace {

// Header and table of a plain (compression 0 or 3) or packed ("PKC1" or
// "PKC2") bitmap. BI_BITFIELDS and "PKC2" only exist above 8 bits.
bool ReadLayout(const BITMAPINFOHEADER* dib, SIZE_T bytes, std::uint32_t rgbTag,
                std::uint32_t fieldsTag, SpriteLayout* layout) {
  if (!dib || bytes < 40) return false;
  BITMAPINFOHEADER h;
  std::memcpy(&h, dib, 40);
  const bool fields = h.biCompression == fieldsTag;
  if (!fields && h.biCompression != rgbTag) return false;
  if (!ReadSpriteLayout(dib, bytes, fields, layout)) return false;
  return !fields || layout->depth > 8;
}

bool ReadPacked(const BITMAPINFOHEADER* packed, SIZE_T bytes, SpriteLayout* layout) {
  if (!ReadLayout(packed, bytes, TAG_PKC1, TAG_PKC2, layout)) return false;
  const std::uint32_t total = layout->header.biSizeImage;
  if (total > bytes - layout->Offset()) return false;
  const BYTE* block = reinterpret_cast<const BYTE*>(packed) + layout->Offset();
  return ValidateMemo(block, total, layout->bitsBytes) && MemoTotalSize(block, total) == total &&
         MemoDataSize(block, total) == layout->bitsBytes;
}

// A copy of header and table followed by `bits`, with new compression fields.
BITMAPINFOHEADER* Rewrap(const void* dib, const SpriteLayout& layout, std::uint32_t compression,
                         std::uint32_t sizeImage, const void* bits, SIZE_T bitsBytes,
                         SIZE_T* outBytes) {
  GlobalBuffer out;
  if (!out.Allocate(std::uint64_t(layout.Offset()) + bitsBytes)) return nullptr;
  std::memcpy(out.data(), dib, layout.Offset());
  std::memcpy(out.data() + layout.Offset(), bits, bitsBytes);
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(out.data());
  header->biCompression = compression;
  header->biSizeImage = sizeImage;
  return ReleaseDib(out, outBytes);
}

}  // namespace

bool ValidatePacked(const BITMAPINFOHEADER* packed, SIZE_T bytes) {
  SpriteLayout layout;
  return ReadPacked(packed, bytes, &layout);
}

BITMAPINFOHEADER* EncodePacked(const BITMAPINFOHEADER* bitmap, SIZE_T bytes, SIZE_T* outBytes) {
  SpriteLayout in;
  if (!ReadLayout(bitmap, bytes, BI_RGB, BI_BITFIELDS, &in)) return nullptr;
  if (in.bitsBytes > bytes - in.Offset()) return nullptr;
  SIZE_T blockBytes = 0;
  void* block = MemoCompress(reinterpret_cast<const BYTE*>(bitmap) + in.Offset(),
                             SIZE_T(in.bitsBytes), &blockBytes);
  if (!block) return nullptr;
  const std::uint32_t tag = in.header.biCompression == BI_BITFIELDS ? TAG_PKC2 : TAG_PKC1;
  BITMAPINFOHEADER* out =
      Rewrap(bitmap, in, tag, std::uint32_t(blockBytes), block, blockBytes, outBytes);
  GlobalFree(block);
  return out;
}

BITMAPINFOHEADER* DecodePacked(const BITMAPINFOHEADER* packed, SIZE_T bytes, SIZE_T* outBytes) {
  SpriteLayout in;
  if (!ReadPacked(packed, bytes, &in)) return nullptr;
  const std::uint32_t total = in.header.biSizeImage;
  SIZE_T bitsBytes = 0;
  void* bits = MemoExpand(reinterpret_cast<const BYTE*>(packed) + in.Offset(), total,
                          in.bitsBytes, &bitsBytes);
  if (!bits) return nullptr;
  const std::uint32_t plain = in.header.biCompression == TAG_PKC2 ? BI_BITFIELDS : BI_RGB;
  BITMAPINFOHEADER* out = Rewrap(packed, in, plain, 0, bits, bitsBytes, outBytes);
  GlobalFree(bits);
  return out;
}
