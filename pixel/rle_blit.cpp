// Portable run-length kernels. Every RleBlit kernel is one row walk instantiated with a
// stipple pattern (or none) and a pixel operation (replace or blend); the key tests become
// template parameters once per call, mirror and flip signed steps. Every AlphaRleBlit
// kernel is the span walk of pixel/rle_walk.h with a per-pixel mask rule.
#include "pixel/rle_blit.h"

#include <cassert>
#include <cstring>

#include "pixel/blit_pixels.h"
#include "pixel/cpu_features.h"
#include "pixel/rle_simd.h"
#include "pixel/rle_walk.h"

namespace {

// ---- RleBlit: what a drawn pixel becomes ----------------------------------------------

template <int B>
inline std::uint32_t LookUp(const PixelLookupTable* table, std::uint32_t index) {
  if (B == 1) return index;
  if (B == 2) return table->pixel16[index];
  return table->pixel32[index];
}

struct NoPattern {
  static constexpr bool kAll = true;
  void BeginRow(std::int32_t) {}
  bool Pass(std::int32_t) const { return true; }
};

// The stipple pattern of the call, indexed by picture row and column.
struct PicturePattern {
  static constexpr bool kAll = false;
  StipplePattern pattern;
  const std::uint8_t* row = nullptr;
  PicturePattern(std::int32_t level, std::int32_t dx, std::int32_t dy)
      : pattern(MakeStipplePattern(level, dx, dy)) {}
  void BeginRow(std::int32_t pictureRow) { row = pattern.rows[pictureRow & 7]; }
  bool Pass(std::int32_t pictureColumn) const { return row[pictureColumn & 7] != 0; }
};

struct Replace {
  static constexpr bool kReplace = true;
  template <int B>
  std::uint32_t Mix(std::uint32_t value, const std::uint8_t*) const {
    return value;
  }
};

// BlendTable rows of ws = level >> 3 and wd = (256 - level) >> 3.
struct TableWeights {
  const std::int32_t* ts;
  const std::int32_t* td;
  explicit TableWeights(std::int32_t level)
      : ts(BlendTable[level >> 3]), td(BlendTable[(256 - level) >> 3]) {}
};

template <int kR, int kG>
struct Blend16 : TableWeights {
  static constexpr bool kReplace = false;
  using TableWeights::TableWeights;
  template <int B>
  std::uint32_t Mix(std::uint32_t value, const std::uint8_t* d) const {
    return MixTable16<kR, kG>(value, LoadPixel<2>(d), ts, td);
  }
};

struct Blend24 : TableWeights {  // 24 and 32 bits
  static constexpr bool kReplace = false;
  using TableWeights::TableWeights;
  template <int B>
  std::uint32_t Mix(std::uint32_t value, const std::uint8_t* d) const {
    return MixTable24(value, LoadPixel<B>(d), ts, td);
  }
};

// n pixels of one value at the lowest address p, left to right.
template <int B>
inline void FillRun(std::uint8_t* p, std::uint32_t value, std::uint32_t n) {
  if (B == 1) {
    std::memset(p, int(value), n);
    return;
  }
  for (std::uint32_t k = 0; k < n; ++k, p += B) StorePixel<B>(p, value);
}

// Draws the pieces of codes the row walk hands it. Returns the destination after them.
template <int B, bool kSrcKey, bool kDstKey, class Pattern, class Op>
struct RlePainter {
  static constexpr bool kPlain = Pattern::kAll && Op::kReplace && !kDstKey;

  const PixelLookupTable* table;
  std::uint32_t srcKey;
  std::uint32_t dstKey;
  std::ptrdiff_t step;
  Pattern pattern;
  Op op;

  void Put(std::uint8_t* d, std::uint32_t value, std::int32_t column) const {
    if (kDstKey && ((LoadPixel<B>(d) ^ dstKey) & PixelValueMask<B>()) != 0) return;
    if (!pattern.Pass(column)) return;
    StorePixel<B>(d, op.template Mix<B>(value, d));
  }

  std::uint8_t* Fill(std::uint8_t* d, std::uint32_t index, std::uint32_t n,
                     std::int32_t column) const {
    if (kSrcKey && index == srcKey) return d + std::ptrdiff_t(n) * step;
    const std::uint32_t value = LookUp<B>(table, index);
    if (kPlain) {
      // A fill covers one contiguous stretch of the destination in either direction.
      FillRun<B>(step > 0 ? d : d + std::ptrdiff_t(n - 1) * step, value, n);
      return d + std::ptrdiff_t(n) * step;
    }
    for (std::uint32_t k = 0; k < n; ++k, d += step) Put(d, value, column + std::int32_t(k));
    return d;
  }

  std::uint8_t* Literal(std::uint8_t* d, const std::uint8_t* indices, std::uint32_t n,
                        std::int32_t column) const {
    if (B == 1 && kPlain && !kSrcKey && step > 0) {
      std::memcpy(d, indices, n);
      return d + n;
    }
    for (std::uint32_t k = 0; k < n; ++k, d += step) {
      const std::uint32_t index = indices[k];
      if (kSrcKey && index == srcKey) continue;
      Put(d, LookUp<B>(table, index), column + std::int32_t(k));
    }
    return d;
  }
};

// Per picture row from sy: walk the codes up to sx, then draw width pixels, cutting the
// first code at sx and the last at the window's end.
template <class Painter>
void RleRows(Painter& painter, const RleDestWalk& w, const BITMAPINFOHEADER* sprite,
             std::int32_t sx, std::int32_t sy, std::int32_t width, std::int32_t height) {
  const std::uint8_t* body = RleSpriteBody(sprite);
  std::uint8_t* drow = w.row;
  for (std::int32_t i = 0; i < height; ++i, drow += w.pitch) {
    const std::int32_t r = sy + i;
    painter.pattern.BeginRow(r);
    RleCode code;
    const std::uint8_t* p = ReadRleCode(ArleRowCodes(body, r), &code);
    std::uint32_t passed = 0;
    while (passed + code.n <= std::uint32_t(sx)) {
      passed += code.n;
      p = ReadRleCode(p, &code);
    }
    std::uint32_t into = std::uint32_t(sx) - passed;
    std::uint32_t left = std::uint32_t(width);
    std::int32_t column = sx;
    std::uint8_t* d = drow;
    for (;;) {
      std::uint32_t n = code.n - into;
      if (n > left) n = left;
      d = code.fill ? painter.Fill(d, *code.data, n, column)
                    : painter.Literal(d, code.data + into, n, column);
      left -= n;
      if (left == 0) break;
      column += std::int32_t(n);
      p = ReadRleCode(p, &code);
      into = 0;
    }
  }
}

template <int B, bool kSrcKey, bool kDstKey, class Pattern, class Op>
void RleWithKeys(const RleDestWalk& w, const BITMAPINFOHEADER* sprite, std::int32_t sx,
                 std::int32_t sy, std::int32_t width, std::int32_t height, std::uint32_t srcKey,
                 std::uint32_t dstKey, const PixelLookupTable* table, const Pattern& pattern,
                 const Op& op) {
  RlePainter<B, kSrcKey, kDstKey, Pattern, Op> painter{table, srcKey, dstKey, w.step, pattern,
                                                       op};
  RleRows(painter, w, sprite, sx, sy, width, height);
}

template <int B, class Pattern, class Op>
void Rle(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx, std::int32_t dy,
         std::int32_t width, std::int32_t height, const BITMAPINFOHEADER* sprite,
         std::int32_t sx, std::int32_t sy, std::uint32_t flags, std::uint32_t srcKey,
         std::uint32_t dstKey, const PixelLookupTable* table, const Pattern& pattern,
         const Op& op) {
  if (width <= 0 || height <= 0) return;
  assert(sprite && sprite->biBitCount == 8 && sx >= 0 && sy >= 0);
  assert(B == 1 || table);
  const RleDestWalk w = StartRleDest(B, dst, dstPitch, dx, dy, width, height, flags);
  const bool srcKeyed = (flags & BLIT_SRCKEY) != 0;
  const bool dstKeyed = (flags & BLIT_DSTKEY) != 0;
  if (srcKeyed && dstKeyed) {
    RleWithKeys<B, true, true>(w, sprite, sx, sy, width, height, srcKey, dstKey, table,
                               pattern, op);
  } else if (srcKeyed) {
    RleWithKeys<B, true, false>(w, sprite, sx, sy, width, height, srcKey, dstKey, table,
                                pattern, op);
  } else if (dstKeyed) {
    RleWithKeys<B, false, true>(w, sprite, sx, sy, width, height, srcKey, dstKey, table,
                                pattern, op);
  } else {
    RleWithKeys<B, false, false>(w, sprite, sx, sy, width, height, srcKey, dstKey, table,
                                 pattern, op);
  }
}

// ---- AlphaRleBlit: the per-pixel mask rules ----------------------------------------------

// 16, 24 and 32 bits: a = 0 nothing, 255 the pixel whole, else the table blend with
// ws = a >> 3, wd = (255 - a) >> 3.
template <int B, int kR, int kG>
struct MaskTableSpan {
  void Run(std::uint8_t* d, std::ptrdiff_t step, const std::uint8_t* s, const std::uint8_t* m,
           std::int32_t n, std::int32_t, std::int32_t) const {
    for (std::int32_t k = 0; k < n; ++k, d += step, s += B) {
      const std::uint32_t a = m[k];
      if (a == 0) continue;
      const std::uint32_t value = LoadPixel<B>(s);
      if (a == 255) {
        StorePixel<B>(d, value);
        continue;
      }
      const std::int32_t* ts = BlendTable[a >> 3];
      const std::int32_t* td = BlendTable[(255 - a) >> 3];
      if constexpr (B == 2) {
        StorePixel<B>(d, MixTable16<kR, kG>(value, LoadPixel<B>(d), ts, td));
      } else {
        StorePixel<B>(d, MixTable24(value, LoadPixel<B>(d), ts, td));
      }
    }
  }
};

struct MaskMmx32Span {
  void Run(std::uint8_t* d, std::ptrdiff_t step, const std::uint8_t* s, const std::uint8_t* m,
           std::int32_t n, std::int32_t, std::int32_t) const {
    for (std::int32_t k = 0; k < n; ++k, d += step, s += 4) {
      const std::uint32_t a = m[k];
      if (a != 0) StorePixel<4>(d, MixAlphaMmx32(LoadPixel<4>(s), LoadPixel<4>(d), a));
    }
  }
};

// 8 bits: screen door by alpha, the matrix indexed by picture row and column.
struct MaskDither8Span {
  void Run(std::uint8_t* d, std::ptrdiff_t step, const std::uint8_t* s, const std::uint8_t* m,
           std::int32_t n, std::int32_t row, std::int32_t column) const {
    const std::uint8_t* dither = DitherMatrix8[row & 7];
    for (std::int32_t k = 0; k < n; ++k, d += step)
      if (MaskDitherWrites(m[k], dither, column + k)) *d = s[k];
  }
};

template <int B, class Span>
void AlphaRle(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx, std::int32_t dy,
              std::int32_t width, std::int32_t height, const BITMAPINFOHEADER* sprite,
              const BITMAPINFOHEADER* mask, std::int32_t sx, std::int32_t sy,
              std::uint32_t flags) {
  assert(width <= 0 || height <= 0 || (sprite && mask && sprite->biBitCount == 8 * B &&
                                       mask->biBitCount == 8 && sx >= 0 && sy >= 0));
  Span span;
  AlphaRleRows<B>(dst, dstPitch, dx, dy, width, height, sprite, mask, sx, sy, flags, span);
}

}  // namespace

// ---- Kernels -------------------------------------------------------------------------------

#define TW_RLE_ARGS dst, dstPitch, dx, dy, width, height, sprite, sx, sy, flags, srcKey, dstKey, table
#define TW_ALPHA_RLE_ARGS dst, dstPitch, dx, dy, width, height, sprite, mask, sx, sy, flags

TW_RLE_BLIT(RleBlit8) { Rle<1>(TW_RLE_ARGS, NoPattern{}, Replace{}); }
TW_RLE_BLIT(RleBlit16) { Rle<2>(TW_RLE_ARGS, NoPattern{}, Replace{}); }
TW_RLE_BLIT(RleBlit24) { Rle<3>(TW_RLE_ARGS, NoPattern{}, Replace{}); }
TW_RLE_BLIT(RleBlit32) { Rle<4>(TW_RLE_ARGS, NoPattern{}, Replace{}); }

#define TW_RLE_PATTERN PicturePattern(level, dx, dy)
TW_RLE_BLIT(RleStippleBlit8) { Rle<1>(TW_RLE_ARGS, TW_RLE_PATTERN, Replace{}); }
TW_RLE_BLIT(RleStippleBlit16) { Rle<2>(TW_RLE_ARGS, TW_RLE_PATTERN, Replace{}); }
TW_RLE_BLIT(RleStippleBlit24) { Rle<3>(TW_RLE_ARGS, TW_RLE_PATTERN, Replace{}); }
TW_RLE_BLIT(RleStippleBlit32) { Rle<4>(TW_RLE_ARGS, TW_RLE_PATTERN, Replace{}); }

TW_RLE_BLIT(RleBlendBlit555) {
  assert(level >= 0 && level <= kBlitOpaque);
  Rle<2>(TW_RLE_ARGS, NoPattern{}, Blend16<kShiftR555, kShiftG555>(level));
}
TW_RLE_BLIT(RleBlendBlit565) {
  assert(level >= 0 && level <= kBlitOpaque);
  Rle<2>(TW_RLE_ARGS, NoPattern{}, Blend16<kShiftR565, kShiftG565>(level));
}
TW_RLE_BLIT(RleBlendBlit24) {
  assert(level >= 0 && level <= kBlitOpaque);
  Rle<3>(TW_RLE_ARGS, NoPattern{}, Blend24(level));
}
TW_RLE_BLIT(RleBlendBlit32) {
  assert(level >= 0 && level <= kBlitOpaque);
  Rle<4>(TW_RLE_ARGS, NoPattern{}, Blend24(level));
}

TW_ALPHA_RLE_BLIT(AlphaRleBlit8) { AlphaRle<1, MaskDither8Span>(TW_ALPHA_RLE_ARGS); }
TW_ALPHA_RLE_BLIT(AlphaRleBlit555) {
  AlphaRle<2, MaskTableSpan<2, kShiftR555, kShiftG555>>(TW_ALPHA_RLE_ARGS);
}
TW_ALPHA_RLE_BLIT(AlphaRleBlit565) {
  AlphaRle<2, MaskTableSpan<2, kShiftR565, kShiftG565>>(TW_ALPHA_RLE_ARGS);
}
TW_ALPHA_RLE_BLIT(AlphaRleBlit24) { AlphaRle<3, MaskTableSpan<3, 0, 0>>(TW_ALPHA_RLE_ARGS); }
TW_ALPHA_RLE_BLIT(AlphaRleBlit32) { AlphaRle<4, MaskTableSpan<4, 0, 0>>(TW_ALPHA_RLE_ARGS); }
TW_ALPHA_RLE_BLIT(AlphaRleBlit32MmxPortable) { AlphaRle<4, MaskMmx32Span>(TW_ALPHA_RLE_ARGS); }

TW_ALPHA_RLE_BLIT(AlphaRleBlit32Mmx) {
  if (CpuHasSse2()) {
    AlphaRleBlit32MmxSse2(TW_ALPHA_RLE_ARGS);
  } else {
    AlphaRleBlit32MmxPortable(TW_ALPHA_RLE_ARGS);
  }
}
