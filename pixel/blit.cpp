// Portable blit kernels. Each kernel is a walk (unscaled or scaled) instantiated with a
// per-pixel operation; the flags that change the inner loop (which keys are tested) become
// template parameters once per call, mirror and flip become signed steps.
#include "pixel/blit.h"

#include "pixel/blit_pixels.h"
#include "pixel/blit_simd.h"
#include "pixel/cpu_features.h"

// ---- Effects of the keyed family ----------------------------------------------------

struct NoEffect {
  static constexpr bool kPlain = true;
  const std::uint8_t* Row(int) const { return nullptr; }
  bool Pass(const std::uint8_t*, int) const { return true; }
  template <int B>
  std::uint32_t Mix(std::uint32_t s, const std::uint8_t*) const { return s; }
};

struct StippleEffect {
  static constexpr bool kPlain = false;
  StipplePattern pattern;
  StippleEffect(std::int32_t level, std::int32_t dx, std::int32_t dy)
      : pattern(MakeStipplePattern(level, dx, dy)) {}
  const std::uint8_t* Row(int r) const { return pattern.rows[r & 7]; }
  bool Pass(const std::uint8_t* row, int c) const { return row[c & 7] != 0; }
  template <int B>
  std::uint32_t Mix(std::uint32_t s, const std::uint8_t*) const { return s; }
};

// Blends with the BlendTable rows of ws = level >> 3 and wd = (256 - level) >> 3.
template <int kR, int kG>
struct TableBlend16Effect {
  static constexpr bool kPlain = false;
  const std::int32_t* ts;
  const std::int32_t* td;
  explicit TableBlend16Effect(std::int32_t level)
      : ts(BlendTable[level >> 3]), td(BlendTable[(256 - level) >> 3]) {}
  const std::uint8_t* Row(int) const { return nullptr; }
  bool Pass(const std::uint8_t*, int) const { return true; }
  template <int B>
  std::uint32_t Mix(std::uint32_t s, const std::uint8_t* d) const {
    return MixTable16<kR, kG>(s, LoadPixel<2>(d), ts, td);
  }
};

struct TableBlend24Effect {
  static constexpr bool kPlain = false;
  const std::int32_t* ts;
  const std::int32_t* td;
  explicit TableBlend24Effect(std::int32_t level)
      : ts(BlendTable[level >> 3]), td(BlendTable[(256 - level) >> 3]) {}
  const std::uint8_t* Row(int) const { return nullptr; }
  bool Pass(const std::uint8_t*, int) const { return true; }
  template <int B>
  std::uint32_t Mix(std::uint32_t s, const std::uint8_t* d) const {
    return MixTable24(s, LoadPixel<B>(d), ts, td);
  }
};

template <int kR, int kG>
struct LevelBlend16Effect {
  static constexpr bool kPlain = false;
  std::uint32_t level;
  const std::uint8_t* Row(int) const { return nullptr; }
  bool Pass(const std::uint8_t*, int) const { return true; }
  template <int B>
  std::uint32_t Mix(std::uint32_t s, const std::uint8_t* d) const {
    return MixLevel16<kR, kG>(s, LoadPixel<2>(d), level);
  }
};

struct LevelBlend32Effect {
  static constexpr bool kPlain = false;
  std::uint32_t level;
  const std::uint8_t* Row(int) const { return nullptr; }
  bool Pass(const std::uint8_t*, int) const { return true; }
  template <int B>
  std::uint32_t Mix(std::uint32_t s, const std::uint8_t* d) const {
    return MixLevel32(s, LoadPixel<4>(d), level);
  }
};

// ---- Per-pixel operations -------------------------------------------------------------
// operator()(destination pixel, source pixel, mask value, row state, column).

template <int B, bool kSrcKey, bool kDstKey, class Effect>
struct KeyedOp {
  static constexpr bool kUsesMask = false;
  std::uint32_t srcKey;
  std::uint32_t dstKey;
  Effect effect;
  const std::uint8_t* Row(int r) const { return effect.Row(r); }
  void operator()(std::uint8_t* d, const std::uint8_t* s, unsigned, const std::uint8_t* row,
                  int c) const {
    const std::uint32_t sv = LoadPixel<B>(s);
    if (kSrcKey && sv == srcKey) return;
    if (kDstKey && LoadPixel<B>(d) != dstKey) return;
    if (!effect.Pass(row, c)) return;
    StorePixel<B>(d, effect.template Mix<B>(sv, d));
  }
};

// Mask blend with BlendTable weights; a = 0 and a = 255 are special.
template <int B, class Mixer>
struct MaskTableOp {
  static constexpr bool kUsesMask = true;
  const std::uint8_t* Row(int) const { return nullptr; }
  void operator()(std::uint8_t* d, const std::uint8_t* s, unsigned a, const std::uint8_t*,
                  int) const {
    if (a == 0) return;
    if (a == 255) {
      StorePixel<B>(d, LoadPixel<B>(s));
      return;
    }
    StorePixel<B>(d, Mixer::Mix(LoadPixel<B>(s), LoadPixel<B>(d), BlendTable[a >> 3],
                                BlendTable[(255 - a) >> 3]));
  }
};

template <int kR, int kG>
struct Table16Mixer {
  static std::uint32_t Mix(std::uint32_t s, std::uint32_t d, const std::int32_t* ts,
                           const std::int32_t* td) {
    return MixTable16<kR, kG>(s, d, ts, td);
  }
};

struct Table24Mixer {
  static std::uint32_t Mix(std::uint32_t s, std::uint32_t d, const std::int32_t* ts,
                           const std::int32_t* td) {
    return MixTable24(s, d, ts, td);
  }
};

template <int B>
struct MaskDitherOp {
  static constexpr bool kUsesMask = true;
  std::int32_t dx;
  std::int32_t dy;
  const std::uint8_t* Row(int r) const { return DitherRow(dx, dy, r); }
  void operator()(std::uint8_t* d, const std::uint8_t* s, unsigned a, const std::uint8_t* row,
                  int c) const {
    if (MaskDitherWrites(a, row, c)) StorePixel<B>(d, LoadPixel<B>(s));
  }
};

// The 16-bit full-level mask blend: table rule (weights of 256) on the head and tail
// columns, full-level rule on the groups of four between; no special mask values.
template <int kR, int kG>
struct MaskLevel16Op {
  static constexpr bool kUsesMask = true;
  MaskGroups groups;
  const std::uint8_t* Row(int) const { return nullptr; }
  void operator()(std::uint8_t* d, const std::uint8_t* s, unsigned a, const std::uint8_t*,
                  int c) const {
    const std::uint32_t sv = LoadPixel<2>(s), dv = LoadPixel<2>(d);
    const bool edge = c < groups.head || c >= groups.tailStart;
    StorePixel<2>(d, edge ? MixTable16<kR, kG>(sv, dv, BlendTable[a >> 3],
                                               BlendTable[(256 - a) >> 3])
                          : MixLevel16<kR, kG>(sv, dv, a));
  }
};

struct MaskLevel32Op {
  static constexpr bool kUsesMask = true;
  const std::uint8_t* Row(int) const { return nullptr; }
  void operator()(std::uint8_t* d, const std::uint8_t* s, unsigned a, const std::uint8_t*,
                  int) const {
    if (a != 0) StorePixel<4>(d, MixLevel32(LoadPixel<4>(s), LoadPixel<4>(d), a));
  }
};

// ---- Walks ---------------------------------------------------------------------------

template <int B, class Op>
static void WalkRows(const BlitWalk& w, std::int32_t width, std::int32_t height, const Op& op) {
  std::uint8_t* drow = w.dst;
  const std::uint8_t* srow = w.src;
  const std::uint8_t* mrow = w.mask;
  for (int r = 0; r < height; ++r) {
    const std::uint8_t* state = op.Row(r);
    std::uint8_t* d = drow;
    const std::uint8_t* s = srow;
    const std::uint8_t* m = mrow;
    for (int c = 0; c < width; ++c) {
      if constexpr (Op::kUsesMask) {
        op(d, s, *m, state, c);
        m += w.maskStep;
      } else {
        op(d, s, 0u, state, c);
      }
      d += B;
      s += w.srcStep;
    }
    drow += w.dstPitch;
    srow += w.srcPitch;
    if constexpr (Op::kUsesMask) mrow += w.maskPitch;
  }
}

// Plain rows: whole-row copies unless mirrored.
template <int B>
static void CopyRows(const BlitWalk& w, std::int32_t width, std::int32_t height) {
  if (w.srcStep < 0) {
    WalkRows<B>(w, width, height, KeyedOp<B, false, false, NoEffect>{0, 0, NoEffect{}});
    return;
  }
  std::uint8_t* d = w.dst;
  const std::uint8_t* s = w.src;
  for (int r = 0; r < height; ++r, d += w.dstPitch, s += w.srcPitch) {
    std::memcpy(d, s, std::size_t(width) * B);
  }
}

template <int B, class Effect>
static void KeyedWalk(const BlitWalk& w, std::int32_t width, std::int32_t height,
                      std::uint32_t flags, std::uint32_t srcKey, std::uint32_t dstKey,
                      const Effect& effect) {
  if (width <= 0 || height <= 0) return;
  srcKey &= PixelValueMask<B>();
  dstKey &= PixelValueMask<B>();
  switch (flags & (BLIT_SRCKEY | BLIT_DSTKEY)) {
    case 0:
      if constexpr (Effect::kPlain) {
        CopyRows<B>(w, width, height);
      } else {
        WalkRows<B>(w, width, height, KeyedOp<B, false, false, Effect>{srcKey, dstKey, effect});
      }
      break;
    case BLIT_SRCKEY:
      WalkRows<B>(w, width, height, KeyedOp<B, true, false, Effect>{srcKey, dstKey, effect});
      break;
    case BLIT_DSTKEY:
      WalkRows<B>(w, width, height, KeyedOp<B, false, true, Effect>{srcKey, dstKey, effect});
      break;
    default:
      WalkRows<B>(w, width, height, KeyedOp<B, true, true, Effect>{srcKey, dstKey, effect});
      break;
  }
}

template <int B, class Effect>
static void Keyed(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx, std::int32_t dy,
                  std::int32_t width, std::int32_t height, const std::uint8_t* src,
                  std::int32_t srcPitch, std::int32_t sx, std::int32_t sy, std::uint32_t flags,
                  std::uint32_t srcKey, std::uint32_t dstKey, const Effect& effect) {
  const BlitWalk w =
      StartWalk(B, dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags);
  KeyedWalk<B>(w, width, height, flags, srcKey, dstKey, effect);
}

template <int B, class Op>
static void Masked(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx, std::int32_t dy,
                   std::int32_t width, std::int32_t height, const std::uint8_t* src,
                   std::int32_t srcPitch, std::int32_t sx, std::int32_t sy,
                   const std::uint8_t* mask, std::int32_t maskPitch, std::uint32_t flags,
                   const Op& op) {
  if (width <= 0 || height <= 0) return;
  const BlitWalk w = StartWalk(B, dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                               flags, mask, maskPitch);
  WalkRows<B>(w, width, height, op);
}

// Nearest-neighbour walk: the source column of destination column c is floor(c * sw / w)
// from the (mirrored) start, carried as a quotient step plus a remainder that steps one
// more pixel each time it reaches w; rows the same with sh / h.
template <int B, class Op>
static void ScaledWalk(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx,
                       std::int32_t dy, std::int32_t width, std::int32_t height,
                       const std::uint8_t* src, std::int32_t srcPitch, std::int32_t sx,
                       std::int32_t sy, std::int32_t srcWidth, std::int32_t srcHeight,
                       const std::uint8_t* mask, std::int32_t maskPitch, std::uint32_t flags,
                       const Op& op) {
  if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) return;
  const std::ptrdiff_t colDir = (flags & BLIT_MIRROR) ? -1 : 1;
  const std::ptrdiff_t rowDir = (flags & BLIT_FLIP) ? -1 : 1;
  const std::ptrdiff_t firstCol = colDir < 0 ? std::ptrdiff_t(sx) + srcWidth - 1 : sx;
  std::ptrdiff_t srcRow = rowDir < 0 ? std::ptrdiff_t(sy) + srcHeight - 1 : sy;
  const std::ptrdiff_t colStep = colDir * (srcWidth / width), colRest = srcWidth % width;
  const std::ptrdiff_t rowStep = rowDir * (srcHeight / height), rowRest = srcHeight % height;
  std::ptrdiff_t rowRem = 0;
  std::uint8_t* drow = dst + std::ptrdiff_t(dy) * dstPitch + std::ptrdiff_t(dx) * B;
  for (int r = 0; r < height; ++r) {
    const std::uint8_t* srow = src + srcRow * srcPitch;
    const std::uint8_t* mrow = Op::kUsesMask ? mask + srcRow * maskPitch : nullptr;
    const std::uint8_t* state = op.Row(r);
    std::ptrdiff_t col = firstCol, colRem = 0;
    for (int c = 0; c < width; ++c) {
      op(drow + std::ptrdiff_t(c) * B, srow + col * B, Op::kUsesMask ? mrow[col] : 0u, state, c);
      col += colStep;
      colRem += colRest;
      if (colRem >= width) {
        colRem -= width;
        col += colDir;
      }
    }
    srcRow += rowStep;
    rowRem += rowRest;
    if (rowRem >= height) {
      rowRem -= height;
      srcRow += rowDir;
    }
    drow += dstPitch;
  }
}

template <int B, class Effect>
static void Scaled(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx, std::int32_t dy,
                   std::int32_t width, std::int32_t height, const std::uint8_t* src,
                   std::int32_t srcPitch, std::int32_t sx, std::int32_t sy,
                   std::int32_t srcWidth, std::int32_t srcHeight, std::uint32_t flags,
                   std::uint32_t srcKey, std::uint32_t dstKey, const Effect& effect) {
  srcKey &= PixelValueMask<B>();
  dstKey &= PixelValueMask<B>();
#define TW_SCALED_CASE(sk, dk)                                                       \
  ScaledWalk<B>(dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, srcWidth, \
                srcHeight, nullptr, 0, flags,                                          \
                KeyedOp<B, sk, dk, Effect>{srcKey, dstKey, effect})
  switch (flags & (BLIT_SRCKEY | BLIT_DSTKEY)) {
    case 0: TW_SCALED_CASE(false, false); break;
    case BLIT_SRCKEY: TW_SCALED_CASE(true, false); break;
    case BLIT_DSTKEY: TW_SCALED_CASE(false, true); break;
    default: TW_SCALED_CASE(true, true); break;
  }
#undef TW_SCALED_CASE
}

// ---- The kernels ------------------------------------------------------------------------

#define TW_COPY_ARGS dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy

TW_COPY_BLIT(CopyBlit8) { Keyed<1>(TW_COPY_ARGS, 0, 0, 0, NoEffect{}); }
TW_COPY_BLIT(CopyBlit16) { Keyed<2>(TW_COPY_ARGS, 0, 0, 0, NoEffect{}); }

TW_KEYED_BLIT(KeyedBlit8) { Keyed<1>(TW_COPY_ARGS, flags, srcKey, dstKey, NoEffect{}); }
TW_KEYED_BLIT(KeyedBlit16) { Keyed<2>(TW_COPY_ARGS, flags, srcKey, dstKey, NoEffect{}); }
TW_KEYED_BLIT(KeyedBlit24) { Keyed<3>(TW_COPY_ARGS, flags, srcKey, dstKey, NoEffect{}); }
TW_KEYED_BLIT(KeyedBlit32) { Keyed<4>(TW_COPY_ARGS, flags, srcKey, dstKey, NoEffect{}); }

#define TW_STIPPLE StippleEffect(level, dx, dy)
TW_KEYED_BLIT(StippleBlit8) { Keyed<1>(TW_COPY_ARGS, flags, srcKey, dstKey, TW_STIPPLE); }
TW_KEYED_BLIT(StippleBlit16) { Keyed<2>(TW_COPY_ARGS, flags, srcKey, dstKey, TW_STIPPLE); }
TW_KEYED_BLIT(StippleBlit24) { Keyed<3>(TW_COPY_ARGS, flags, srcKey, dstKey, TW_STIPPLE); }
TW_KEYED_BLIT(StippleBlit32) { Keyed<4>(TW_COPY_ARGS, flags, srcKey, dstKey, TW_STIPPLE); }

TW_KEYED_BLIT(BlendBlit555) {
  level = ClampLevel(level);
  Keyed<2>(TW_COPY_ARGS, flags, srcKey, dstKey,
           TableBlend16Effect<kShiftR555, kShiftG555>(level));
}
TW_KEYED_BLIT(BlendBlit565) {
  level = ClampLevel(level);
  Keyed<2>(TW_COPY_ARGS, flags, srcKey, dstKey,
           TableBlend16Effect<kShiftR565, kShiftG565>(level));
}
TW_KEYED_BLIT(BlendBlit24) {
  level = ClampLevel(level);
  Keyed<3>(TW_COPY_ARGS, flags, srcKey, dstKey, TableBlend24Effect(level));
}
TW_KEYED_BLIT(BlendBlit32) {
  level = ClampLevel(level);
  Keyed<4>(TW_COPY_ARGS, flags, srcKey, dstKey, TableBlend24Effect(level));
}

#define TW_MASK_ARGS TW_COPY_ARGS, mask, maskPitch, flags

TW_MASK_BLIT(MaskBlendBlit555) {
  Masked<2>(TW_MASK_ARGS, MaskTableOp<2, Table16Mixer<kShiftR555, kShiftG555>>{});
}
TW_MASK_BLIT(MaskBlendBlit565) {
  Masked<2>(TW_MASK_ARGS, MaskTableOp<2, Table16Mixer<kShiftR565, kShiftG565>>{});
}
TW_MASK_BLIT(MaskBlendBlit24) { Masked<3>(TW_MASK_ARGS, MaskTableOp<3, Table24Mixer>{}); }
TW_MASK_BLIT(MaskBlendBlit32) { Masked<4>(TW_MASK_ARGS, MaskTableOp<4, Table24Mixer>{}); }

TW_MASK_BLIT(MaskDitherBlit8) { Masked<1>(TW_MASK_ARGS, MaskDitherOp<1>{dx, dy}); }
TW_MASK_BLIT(MaskDitherBlit16) { Masked<2>(TW_MASK_ARGS, MaskDitherOp<2>{dx, dy}); }
TW_MASK_BLIT(MaskDitherBlit24) { Masked<3>(TW_MASK_ARGS, MaskDitherOp<3>{dx, dy}); }
TW_MASK_BLIT(MaskDitherBlit32) { Masked<4>(TW_MASK_ARGS, MaskDitherOp<4>{dx, dy}); }

// Portable forms of the full-level ("Mmx") kernels; the public kernels below use SSE2
// when they may.
TW_KEYED_BLIT(BlendBlit555MmxPortable) {
  level = ClampLevel(level);
  Keyed<2>(TW_COPY_ARGS, flags, srcKey, dstKey,
           LevelBlend16Effect<kShiftR555, kShiftG555>{std::uint32_t(level)});
}
TW_KEYED_BLIT(BlendBlit565MmxPortable) {
  level = ClampLevel(level);
  Keyed<2>(TW_COPY_ARGS, flags, srcKey, dstKey,
           LevelBlend16Effect<kShiftR565, kShiftG565>{std::uint32_t(level)});
}
TW_KEYED_BLIT(BlendBlit32MmxPortable) {
  level = ClampLevel(level);
  Keyed<4>(TW_COPY_ARGS, flags, srcKey, dstKey, LevelBlend32Effect{std::uint32_t(level)});
}
TW_MASK_BLIT(MaskBlendBlit555MmxPortable) {
  Masked<2>(TW_MASK_ARGS, MaskLevel16Op<kShiftR555, kShiftG555>{MaskGroupsOf(dx, width)});
}
TW_MASK_BLIT(MaskBlendBlit565MmxPortable) {
  Masked<2>(TW_MASK_ARGS, MaskLevel16Op<kShiftR565, kShiftG565>{MaskGroupsOf(dx, width)});
}
TW_MASK_BLIT(MaskBlendBlit32MmxPortable) { Masked<4>(TW_MASK_ARGS, MaskLevel32Op{}); }

#define TW_KEYED_ARGS TW_COPY_ARGS, flags, srcKey, dstKey, level

// The SSE2 form when the processor has it (and, for the copies, when not mirrored: their
// SSE2 forms walk forwards only), else the portable one.
namespace {
template <auto kSse2, auto kPortable, class... Args>
void PickKernel(std::uint32_t flags, bool sse2ForMirror, Args... args) {
  if (CpuHasSse2() && (sse2ForMirror || !(flags & BLIT_MIRROR))) {
    kSse2(args...);
  } else {
    kPortable(args...);
  }
}
}  // namespace
#define TW_PICK_KEYED(SSE2, PORTABLE, MIRROR) \
  PickKernel<SSE2, PORTABLE>(flags, MIRROR, TW_KEYED_ARGS)
#define TW_PICK_MASK(SSE2, PORTABLE) PickKernel<SSE2, PORTABLE>(0, true, TW_MASK_ARGS)

TW_KEYED_BLIT(KeyedBlit8Mmx) { TW_PICK_KEYED(KeyedBlit8Sse2, KeyedBlit8, false); }
TW_KEYED_BLIT(KeyedBlit16Mmx) { TW_PICK_KEYED(KeyedBlit16Sse2, KeyedBlit16, false); }
TW_KEYED_BLIT(StippleBlit8Mmx) { TW_PICK_KEYED(StippleBlit8Sse2, StippleBlit8, false); }
TW_KEYED_BLIT(BlendBlit555Mmx) { TW_PICK_KEYED(BlendBlit555Sse2, BlendBlit555MmxPortable, true); }
TW_KEYED_BLIT(BlendBlit565Mmx) { TW_PICK_KEYED(BlendBlit565Sse2, BlendBlit565MmxPortable, true); }
TW_KEYED_BLIT(BlendBlit32Mmx) { TW_PICK_KEYED(BlendBlit32Sse2, BlendBlit32MmxPortable, true); }
TW_MASK_BLIT(MaskBlendBlit555Mmx) {
  TW_PICK_MASK(MaskBlendBlit555Sse2, MaskBlendBlit555MmxPortable);
}
TW_MASK_BLIT(MaskBlendBlit565Mmx) {
  TW_PICK_MASK(MaskBlendBlit565Sse2, MaskBlendBlit565MmxPortable);
}
TW_MASK_BLIT(MaskBlendBlit32Mmx) { TW_PICK_MASK(MaskBlendBlit32Sse2, MaskBlendBlit32MmxPortable); }

#define TW_SCALED_ARGS TW_COPY_ARGS, srcWidth, srcHeight, flags, srcKey, dstKey

TW_SCALED_BLIT(ScaledBlit8) { Scaled<1>(TW_SCALED_ARGS, NoEffect{}); }
TW_SCALED_BLIT(ScaledBlit16) { Scaled<2>(TW_SCALED_ARGS, NoEffect{}); }
TW_SCALED_BLIT(ScaledBlit24) { Scaled<3>(TW_SCALED_ARGS, NoEffect{}); }
TW_SCALED_BLIT(ScaledBlit32) { Scaled<4>(TW_SCALED_ARGS, NoEffect{}); }
TW_SCALED_BLIT(ScaledEffectBlit8) { Scaled<1>(TW_SCALED_ARGS, TW_STIPPLE); }
TW_SCALED_BLIT(ScaledEffectBlit16) { Scaled<2>(TW_SCALED_ARGS, TW_STIPPLE); }
TW_SCALED_BLIT(ScaledEffectBlit24) { Scaled<3>(TW_SCALED_ARGS, TW_STIPPLE); }
TW_SCALED_BLIT(ScaledEffectBlit32) { Scaled<4>(TW_SCALED_ARGS, TW_STIPPLE); }

TW_SCALED_MASK_BLIT(ScaledMaskBlit555) {
  ScaledWalk<2>(TW_COPY_ARGS, srcWidth, srcHeight, mask, maskPitch, flags,
                MaskTableOp<2, Table16Mixer<kShiftR555, kShiftG555>>{});
}
TW_SCALED_MASK_BLIT(ScaledMaskBlit565) {
  ScaledWalk<2>(TW_COPY_ARGS, srcWidth, srcHeight, mask, maskPitch, flags,
                MaskTableOp<2, Table16Mixer<kShiftR565, kShiftG565>>{});
}
