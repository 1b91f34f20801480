// "PRLE" sprites: an "ARLE" body compressed as a MemoBlock (layout in
// sprite/arle.h). Validation of the wrapper and conversion in both directions.
#include "sprite/arle.h"

#include "sprite/arle_codes.h"
#include "sprite/sprite_layout.h"
#include "sprite/memo_block.h"
#include "sprite/sprite_tags.h"

namespace {

// Header, table and MemoBlock of a "PRLE" sprite, without expanding the block.
bool ReadPrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes, SpriteLayout* layout) {
  if (!ReadSpriteLayout(sprite, bytes, false, layout)) return false;
  const BITMAPINFOHEADER& h = layout->header;
  if (layout->depth != 8 || h.biCompression != TAG_PRLE || layout->width > kMaxArleWidth)
    return false;
  if (h.biSizeImage > bytes - layout->Offset()) return false;
  const BYTE* block = reinterpret_cast<const BYTE*>(sprite) + layout->Offset();
  return ValidateMemo(block, h.biSizeImage, MaxArleBodyBytes(layout->width, layout->height)) &&
         MemoTotalSize(block, h.biSizeImage) == h.biSizeImage;
}

// A copy of header and colour table followed by `body`, tagged `tag`.
BITMAPINFOHEADER* Rewrap(const BITMAPINFOHEADER* sprite, const SpriteLayout& layout,
                         std::uint32_t tag, const void* body, std::uint32_t bodyBytes,
                         SIZE_T* outBytes) {
  GlobalBuffer out;
  if (!out.Allocate(std::uint64_t(layout.Offset()) + bodyBytes)) return nullptr;
  std::memcpy(out.data(), sprite, layout.Offset());
  std::memcpy(out.data() + layout.Offset(), body, bodyBytes);
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(out.data());
  header->biCompression = tag;
  header->biSizeImage = bodyBytes;
  return ReleaseDib(out, outBytes);
}

}  // namespace

bool ValidatePrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes) {
  SpriteLayout layout;
  return ReadPrle(sprite, bytes, &layout);
}

BITMAPINFOHEADER* ArleToPrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes, SIZE_T* outBytes) {
  if (!ValidateArle(sprite, bytes)) return nullptr;
  SpriteLayout layout;
  if (!ReadSpriteLayout(sprite, bytes, false, &layout)) return nullptr;
  SIZE_T blockBytes = 0;
  void* block = MemoCompress(reinterpret_cast<const BYTE*>(sprite) + layout.Offset(),
                             layout.header.biSizeImage, &blockBytes);
  if (!block) return nullptr;
  BITMAPINFOHEADER* out =
      Rewrap(sprite, layout, TAG_PRLE, block, std::uint32_t(blockBytes), outBytes);
  GlobalFree(block);
  return out;
}

BITMAPINFOHEADER* PrleToArle(const BITMAPINFOHEADER* sprite, SIZE_T bytes, SIZE_T* outBytes) {
  SpriteLayout layout;
  if (!ReadPrle(sprite, bytes, &layout)) return nullptr;
  const BYTE* block = reinterpret_cast<const BYTE*>(sprite) + layout.Offset();
  SIZE_T bodyBytes = 0;
  void* body = MemoExpand(block, layout.header.biSizeImage,
                          MaxArleBodyBytes(layout.width, layout.height), &bodyBytes);
  if (!body) return nullptr;
  BITMAPINFOHEADER* out = nullptr;
  if (ValidateArleBody(static_cast<const BYTE*>(body), bodyBytes, layout.width, layout.height))
    out = Rewrap(sprite, layout, TAG_ARLE, body, std::uint32_t(bodyBytes), outBytes);
  GlobalFree(body);
  return out;
}

BITMAPINFOHEADER* EncodePrle(const BITMAPINFOHEADER* bitmap, SIZE_T bytes, SIZE_T* outBytes) {
  SIZE_T arleBytes = 0;
  BITMAPINFOHEADER* arle = EncodeArle(bitmap, bytes, &arleBytes);
  if (!arle) return nullptr;
  BITMAPINFOHEADER* out = ArleToPrle(arle, arleBytes, outBytes);
  GlobalFree(arle);
  return out;
}

BITMAPINFOHEADER* DecodePrle(const BITMAPINFOHEADER* sprite, SIZE_T bytes, SIZE_T* outBytes) {
  SIZE_T arleBytes = 0;
  BITMAPINFOHEADER* arle = PrleToArle(sprite, bytes, &arleBytes);
  if (!arle) return nullptr;
  BITMAPINFOHEADER* out = DecodeArle(arle, arleBytes, outBytes);
  GlobalFree(arle);
  return out;
}
