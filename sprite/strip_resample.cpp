#include "sprite/strip_resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "sprite/sprite_layout.h"
#include "sprite/trle.h"

namespace {

// A plain 8-bit bitmap read for resampling: its rows and colour table.
struct Plain8 {
  SpriteLayout layout;
  const BYTE* bits = nullptr;
  const BYTE* table = nullptr;  // layout.tableBytes / 4 RGBQUADs
  std::uint32_t entries = 0;

  const BYTE* Row(std::uint32_t r) const {  // picture row r, 0 the top
    return bits + std::uint64_t(layout.height - 1 - r) * layout.rowBytes;
  }
};

bool ReadPlain8(const BITMAPINFOHEADER* dib, SIZE_T bytes, Plain8* out) {
  if (!dib || !ReadSpriteLayout(dib, bytes, false, &out->layout)) return false;
  const SpriteLayout& l = out->layout;
  if (l.depth != 8 || l.header.biCompression != BI_RGB) return false;
  if (l.bitsBytes > bytes - l.Offset()) return false;
  const BYTE* base = reinterpret_cast<const BYTE*>(dib);
  out->table = base + 40;
  out->entries = l.tableBytes / 4;
  out->bits = base + l.Offset();
  return true;
}

// Area weights of the source cells [0, from) that output cell i of [0, to)
// covers, the cells scaled onto each other; the weights of each cell sum to 1.
struct Tap {
  std::uint32_t source;
  float weight;
};
std::vector<std::vector<Tap>> AreaTaps(std::uint32_t from, std::uint32_t to) {
  std::vector<std::vector<Tap>> taps(to);
  const double step = double(from) / to;
  for (std::uint32_t i = 0; i < to; ++i) {
    const double begin = i * step, end = (i + 1) * step;
    for (auto s = std::uint32_t(begin); s < from && s < end; ++s) {
      const double overlap = std::min(end, s + 1.0) - std::max(begin, double(s));
      if (overlap > 0) taps[i].push_back({s, float(overlap / step)});
    }
  }
  return taps;
}

// A zeroed plain bottom-up bitmap of width x height at depth 8 (a grey
// table of 256 entries) or 32.
std::vector<BYTE> MakePlain(std::uint32_t width, std::uint32_t height, std::uint16_t depth) {
  const std::uint32_t table = depth == 8 ? 256 * 4 : 0;
  const std::uint64_t rowBytes = (std::uint64_t(width) * depth / 8 + 3) & ~std::uint64_t(3);
  std::vector<BYTE> dib(40 + table + rowBytes * height, 0);
  BITMAPINFOHEADER h{};
  h.biSize = 40;
  h.biWidth = static_cast<LONG>(width);
  h.biHeight = static_cast<LONG>(height);
  h.biPlanes = 1;
  h.biBitCount = depth;
  h.biCompression = BI_RGB;
  std::memcpy(dib.data(), &h, sizeof h);
  for (std::uint32_t i = 0; i < table / 4; ++i)
    std::memset(dib.data() + 40 + 4 * i, int(i), 3);
  return dib;
}

BYTE* PlainRow(std::vector<BYTE>& dib, std::uint32_t height, std::uint32_t rowBytes,
               std::uint32_t r) {
  const std::uint32_t offset = LoadU32(dib.data()) + (dib[14] == 8 ? 256 * 4 : 0);
  return dib.data() + offset + std::uint64_t(height - 1 - r) * rowBytes;
}

}  // namespace

bool ResampleStrip(const BITMAPINFOHEADER* picture, SIZE_T pictureBytes,
                   const BITMAPINFOHEADER* alpha, SIZE_T alphaBytes, std::int32_t key,
                   std::int32_t frames, std::int32_t frameWidth, std::int32_t frameHeight,
                   ResampledStrip* out) {
  Plain8 in, mask;
  if (!out || !ReadPlain8(picture, pictureBytes, &in)) return false;
  if (alpha && (!ReadPlain8(alpha, alphaBytes, &mask) || mask.layout.width != in.layout.width ||
                mask.layout.height != in.layout.height))
    return false;
  const std::uint32_t width = in.layout.width, height = in.layout.height;
  if (frames < 1 || height % std::uint32_t(frames) != 0 || frameWidth < 1 || frameHeight < 1)
    return false;
  const std::uint64_t outHeight = std::uint64_t(frameHeight) * frames;
  if (std::uint32_t(frameWidth) > kMaxDibSide || outHeight > kMaxDibSide) return false;
  const std::uint32_t fromFrame = height / std::uint32_t(frames);
  const std::uint32_t toWidth = std::uint32_t(frameWidth), toFrame = std::uint32_t(frameHeight);

  // Premultiplied RGBA of each source index (alpha 255, the key's 0).
  float colour[256][4] = {};
  for (std::uint32_t i = 0; i < 256; ++i) {
    const BYTE* q = in.table + 4 * i;
    const float a = (int(i) == key || i >= in.entries) ? 0.f : 1.f;
    if (i < in.entries) colour[i][0] = q[2] * a, colour[i][1] = q[1] * a, colour[i][2] = q[0] * a;
    colour[i][3] = 255.f * a;
  }
  std::vector<std::vector<Tap>> across, down;
  std::vector<BYTE> sprite, maskOut;
  std::vector<float> rows;  // one frame, resampled across: fromFrame x toWidth x 4
  try {
    across = AreaTaps(width, toWidth);
    down = AreaTaps(fromFrame, toFrame);
    sprite = MakePlain(toWidth, std::uint32_t(outHeight), 32);
    maskOut = MakePlain(toWidth, std::uint32_t(outHeight), 8);
    rows.assign(std::size_t(fromFrame) * toWidth * 4, 0.f);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const std::uint32_t spriteRow = toWidth * 4, maskRow = (toWidth + 3) & ~3u;
  for (std::uint32_t k = 0; k < std::uint32_t(frames); ++k) {
    for (std::uint32_t y = 0; y < fromFrame; ++y) {
      const BYTE* p = in.Row(k * fromFrame + y);
      const BYTE* m = alpha ? mask.Row(k * fromFrame + y) : nullptr;
      float* r = &rows[std::size_t(y) * toWidth * 4];
      for (std::uint32_t x = 0; x < toWidth; ++x) {
        float sum[4] = {0, 0, 0, 0};
        for (const Tap& t : across[x]) {
          const float* c = colour[p[t.source]];
          // A mask's alpha scales the colour's full opacity.
          const float w = m ? t.weight * m[t.source] / 255.f : t.weight;
          for (int ch = 0; ch < 4; ++ch) sum[ch] += c[ch] * w;
        }
        std::memcpy(r + 4 * x, sum, sizeof sum);
      }
    }
    for (std::uint32_t y = 0; y < toFrame; ++y) {
      BYTE* s = PlainRow(sprite, std::uint32_t(outHeight), spriteRow, k * toFrame + y);
      BYTE* a = PlainRow(maskOut, std::uint32_t(outHeight), maskRow, k * toFrame + y);
      for (std::uint32_t x = 0; x < toWidth; ++x) {
        float sum[4] = {0, 0, 0, 0};
        for (const Tap& t : down[y]) {
          const float* r = &rows[(std::size_t(t.source) * toWidth + x) * 4];
          for (int ch = 0; ch < 4; ++ch) sum[ch] += r[ch] * t.weight;
        }
        const int level = std::min(255, int(std::lround(sum[3])));
        if (level == 0) continue;  // pixel and mask stay 0: transparent
        BYTE* q = s + 4 * x;
        for (int ch = 0; ch < 3; ++ch)
          q[2 - ch] = BYTE(std::min(255L, std::lround(sum[ch] * 255.f / sum[3])));
        if (!q[0] && !q[1] && !q[2]) q[0] = 1;  // black that shows is not transparent
        a[x] = BYTE(level);
      }
    }
  }
  ResampledStrip made;
  made.sprite = EncodeTrle(reinterpret_cast<const BITMAPINFOHEADER*>(sprite.data()),
                           sprite.size(), &made.spriteBytes);
  made.mask = EncodeTrle(reinterpret_cast<const BITMAPINFOHEADER*>(maskOut.data()),
                         maskOut.size(), &made.maskBytes);
  if (!made.sprite || !made.mask) {
    if (made.sprite) GlobalFree(made.sprite);
    if (made.mask) GlobalFree(made.mask);
    return false;
  }
  *out = made;
  return true;
}
