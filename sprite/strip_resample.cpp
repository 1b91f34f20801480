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
// covers, the cells scaled onto each other: taps first[i] .. first[i + 1] - 1,
// whose weights sum to kOne.
constexpr std::uint32_t kShift = 12, kOne = 1u << kShift;
struct Tap {
  std::uint32_t source;
  std::uint32_t weight;
};
struct Taps {
  std::vector<std::uint32_t> first;
  std::vector<Tap> taps;
};
Taps AreaTaps(std::uint32_t from, std::uint32_t to) {
  Taps out;
  out.first.reserve(to + 1);
  const double step = double(from) / to;
  for (std::uint32_t i = 0; i < to; ++i) {
    out.first.push_back(std::uint32_t(out.taps.size()));
    const double begin = i * step, end = (i + 1) * step;
    std::uint32_t sum = 0, heaviest = 0, heaviestWeight = 0;
    for (auto s = std::uint32_t(begin); s < from && s < end; ++s) {
      const double overlap = std::min(end, s + 1.0) - std::max(begin, double(s));
      const auto w = std::uint32_t(std::lround(overlap / step * kOne));
      if (w == 0) continue;
      if (w > heaviestWeight) heaviest = std::uint32_t(out.taps.size()), heaviestWeight = w;
      out.taps.push_back({s, w});
      sum += w;
    }
    // Rounding's remainder to the heaviest tap: the weights sum to kOne exactly.
    if (heaviestWeight) out.taps[heaviest].weight += kOne - sum;
  }
  out.first.push_back(std::uint32_t(out.taps.size()));
  return out;
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

  // Each source index's colour and full opacity, premultiplied by a pixel's
  // alpha (0..255) as it is read: every channel in units of 1/255 of a level.
  std::uint32_t colour[256][4] = {};
  for (std::uint32_t i = 0; i < in.entries && i < 256; ++i) {
    const BYTE* q = in.table + 4 * i;
    colour[i][0] = q[2], colour[i][1] = q[1], colour[i][2] = q[0], colour[i][3] = 255;
  }
  Taps across, down;
  std::vector<BYTE> sprite, maskOut;
  std::vector<std::uint32_t> rows;  // one frame, resampled across: fromFrame x toWidth x 4
  try {
    across = AreaTaps(width, toWidth);
    down = AreaTaps(fromFrame, toFrame);
    sprite = MakePlain(toWidth, std::uint32_t(outHeight), 32);
    maskOut = MakePlain(toWidth, std::uint32_t(outHeight), 8);
    rows.assign(std::size_t(fromFrame) * toWidth * 4, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  // A source pixel's alpha: the mask's level, or all but the key.
  auto level = [&](const BYTE* p, const BYTE* m, std::uint32_t x) -> std::uint32_t {
    if (m) return p[x] < in.entries ? m[x] : 0;
    return int(p[x]) == key || p[x] >= in.entries ? 0 : 255;
  };
  std::vector<std::uint32_t> premultiplied;  // one source row's visible span, 4 a pixel
  std::vector<std::uint32_t> reach;          // per frame row: the output columns it reaches
  try {
    premultiplied.assign(std::size_t(width) * 4, 0);
    reach.assign(std::size_t(fromFrame) * 2, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  const std::uint32_t spriteRow = toWidth * 4, maskRow = (toWidth + 3) & ~3u;
  for (std::uint32_t k = 0; k < std::uint32_t(frames); ++k) {
    for (std::uint32_t y = 0; y < fromFrame; ++y) {
      const BYTE* p = in.Row(k * fromFrame + y);
      const BYTE* m = alpha ? mask.Row(k * fromFrame + y) : nullptr;
      std::uint32_t* r = &rows[std::size_t(y) * toWidth * 4];
      // What the previous frame's row wrote goes; the rest is 0 already.
      std::fill(r + 4 * reach[2 * y], r + 4 * reach[2 * y + 1], 0u);
      // Only the output cells that the row's visible span reaches.
      std::uint32_t first = 0, last = width;
      while (first < width && !level(p, m, first)) ++first;
      while (last > first && !level(p, m, last - 1)) --last;
      const auto x0 = std::uint32_t(std::uint64_t(first) * toWidth / width);
      const auto x1 = first == last ? x0
                                    : std::uint32_t(std::min<std::uint64_t>(
                                          toWidth, (std::uint64_t(last) * toWidth) / width + 1));
      reach[2 * y] = x0;
      reach[2 * y + 1] = x1;
      // The span premultiplied; outside it the row's pixels are 0.
      std::fill(premultiplied.begin(), premultiplied.end(), 0u);
      for (std::uint32_t x = first; x < last; ++x) {
        const std::uint32_t a = level(p, m, x);
        const std::uint32_t* c = colour[p[x]];
        for (int ch = 0; ch < 4; ++ch) premultiplied[4 * x + ch] = c[ch] * a;
      }
      for (std::uint32_t x = x0; x < x1; ++x) {
        std::uint32_t sum[4] = {0, 0, 0, 0};
        for (std::uint32_t t = across.first[x]; t < across.first[x + 1]; ++t) {
          const std::uint32_t* c = &premultiplied[4 * across.taps[t].source];
          const std::uint32_t w = across.taps[t].weight;
          for (int ch = 0; ch < 4; ++ch) sum[ch] += c[ch] * w;
        }
        for (int ch = 0; ch < 4; ++ch) r[4 * x + ch] = (sum[ch] + kOne / 2) >> kShift;
      }
    }
    for (std::uint32_t y = 0; y < toFrame; ++y) {
      BYTE* s = PlainRow(sprite, std::uint32_t(outHeight), spriteRow, k * toFrame + y);
      BYTE* a = PlainRow(maskOut, std::uint32_t(outHeight), maskRow, k * toFrame + y);
      // The columns any of its source rows reached; the rest stays transparent.
      std::uint32_t x0 = toWidth, x1 = 0;
      for (std::uint32_t t = down.first[y]; t < down.first[y + 1]; ++t) {
        const std::uint32_t source = down.taps[t].source;
        if (reach[2 * source] == reach[2 * source + 1]) continue;
        x0 = std::min(x0, reach[2 * source]);
        x1 = std::max(x1, reach[2 * source + 1]);
      }
      for (std::uint32_t x = x0; x < x1; ++x) {
        std::uint32_t sum[4] = {0, 0, 0, 0};
        for (std::uint32_t t = down.first[y]; t < down.first[y + 1]; ++t) {
          const std::uint32_t* r = &rows[(std::size_t(down.taps[t].source) * toWidth + x) * 4];
          const std::uint32_t w = down.taps[t].weight;
          for (int ch = 0; ch < 4; ++ch) sum[ch] += r[ch] * w;
        }
        // Alpha in 1/255 levels: 255 x 255 is all.
        const std::uint32_t opacity = (sum[3] + kOne / 2) >> kShift;
        const std::uint32_t shown = (opacity + 127) / 255;
        if (shown == 0) continue;  // pixel and mask stay 0: transparent
        BYTE* q = s + 4 * x;
        // Un-premultiplied: the colour over the opacity, in 16-bit fixed point.
        const std::uint32_t inverse = (255u << 16) / opacity;
        for (int ch = 0; ch < 3; ++ch) {
          const std::uint64_t c =
              std::uint64_t((sum[ch] + kOne / 2) >> kShift) * inverse + (1u << 15);
          q[2 - ch] = BYTE(std::min<std::uint64_t>(255, c >> 16));
        }
        if (!q[0] && !q[1] && !q[2]) q[0] = 1;  // black that shows is not transparent
        a[x] = BYTE(std::min<std::uint32_t>(255, shown));
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
