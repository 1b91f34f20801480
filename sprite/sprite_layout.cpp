#include "sprite/sprite_layout.h"

bool ReadSpriteLayout(const void* dib, SIZE_T bytes, bool masks, SpriteLayout* out) {
  if (!dib || bytes < 40) return false;
  BITMAPINFOHEADER& h = out->header;
  std::memcpy(&h, dib, 40);
  if (h.biSize != 40) return false;
  if (h.biWidth < 1 || std::uint32_t(h.biWidth) > kMaxDibSide) return false;
  if (h.biHeight < 1 || std::uint32_t(h.biHeight) > kMaxDibSide) return false;
  const std::uint32_t depth = h.biBitCount;
  if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16 && depth != 24 &&
      depth != 32)
    return false;
  out->width = std::uint32_t(h.biWidth);
  out->height = std::uint32_t(h.biHeight);
  out->depth = depth;
  if (depth <= 8) {
    const std::uint32_t most = 1u << depth;
    if (h.biClrUsed > most) return false;
    out->tableBytes = 4 * (h.biClrUsed ? h.biClrUsed : most);
  } else {
    out->tableBytes = masks ? 12 : 0;
  }
  out->rowBytes = std::uint32_t(PixelRowBytes(out->width, depth));
  out->bitsBytes = std::uint64_t(out->rowBytes) * out->height;
  return bytes >= out->Offset();
}

bool GlobalBuffer::Allocate(std::uint64_t bytes) {
  if (data_) GlobalFree(data_);
  data_ = nullptr;
  size_ = 0;
  if (bytes > kMaxCodecBytes) return false;
  data_ = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, SIZE_T(bytes ? bytes : 1)));
  if (!data_) return false;
  size_ = bytes;
  return true;
}
