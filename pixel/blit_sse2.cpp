// SSE2 forms of the "Mmx" blit kernels. Called only after CpuHasSse2(); each gives exactly
// the results of its portable form (blit.cpp, blit_pixels.h), which the tests check.
//
// One loop shape per row: scalar head (up to destination alignment, or up to the pixel
// groups the kernel's rule defines), a wide body of N pixels per step, a scalar tail.
// Mirrored sources are loaded N pixels back from the current one and reversed in register.
#include <emmintrin.h>

#include <cassert>

#include "pixel/blit_pixels.h"
#include "pixel/blit_simd.h"

static inline __m128i Load128(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
static inline void Store128(std::uint8_t* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
static inline __m128i Load32(const std::uint8_t* p) {
  std::int32_t v;
  std::memcpy(&v, p, 4);
  return _mm_cvtsi32_si128(v);
}

static inline __m128i Reverse16x8(__m128i v) {
  v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(0, 1, 2, 3));
  v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(0, 1, 2, 3));
  return _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2));
}
static inline __m128i Reverse32x4(__m128i v) {
  return _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3));
}
static inline __m128i Reverse8x4(__m128i v) {  // the four low bytes
  const __m128i zero = _mm_setzero_si128();
  __m128i w = _mm_unpacklo_epi8(v, zero);
  w = _mm_shufflelo_epi16(w, _MM_SHUFFLE(0, 1, 2, 3));
  return _mm_packus_epi16(w, zero);
}
static inline __m128i Reverse8x8(__m128i v) {  // the eight low bytes
  const __m128i zero = _mm_setzero_si128();
  __m128i w = _mm_unpacklo_epi8(v, zero);
  w = Reverse16x8(w);
  return _mm_packus_epi16(w, zero);
}

// Pixels before the destination reaches 16-byte alignment, at most width.
static inline int AlignHead(const std::uint8_t* d, int bytes, int width) {
  const int head = int((16 - (reinterpret_cast<std::uintptr_t>(d) & 15)) & 15) / bytes;
  return head < width ? head : width;
}

// Destination pixels not to be written, from the key tests: source equal to its key, or
// destination not equal to its key. kEq is the lane compare of the pixel size.
template <bool kSrcKey, bool kDstKey, __m128i (*kEq)(__m128i, __m128i)>
static inline __m128i KeepMask(__m128i s, __m128i d, __m128i srcKey, __m128i dstKey) {
  __m128i keep = _mm_setzero_si128();
  if (kSrcKey) keep = kEq(s, srcKey);
  if (kDstKey) keep = _mm_or_si128(keep, _mm_xor_si128(kEq(d, dstKey), _mm_set1_epi32(-1)));
  return keep;
}

static inline __m128i Eq8(__m128i a, __m128i b) { return _mm_cmpeq_epi8(a, b); }
static inline __m128i Eq16(__m128i a, __m128i b) { return _mm_cmpeq_epi16(a, b); }
static inline __m128i Eq32(__m128i a, __m128i b) { return _mm_cmpeq_epi32(a, b); }

static inline __m128i Select(__m128i keep, __m128i d, __m128i value) {
  return _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, value));
}

// ---- Row driver ------------------------------------------------------------------------
// Op provides: Head(d, width), VectorEnd(width), BeginRow(r, head), Scalar(d, s, m, c) and
// Vector<kMirror>(d, s, m) for N pixels whose first (in destination order) is at s, m.

template <int B, int N, bool kMirror, class Op>
static void VectorRowsOf(const BlitWalk& w, int width, int height, Op& op) {
  std::uint8_t* drow = w.dst;
  const std::uint8_t* srow = w.src;
  const std::uint8_t* mrow = w.mask;
  const int vectorEnd = op.VectorEnd(width);
  for (int r = 0; r < height; ++r) {
    std::uint8_t* d = drow;
    const std::uint8_t* s = srow;
    const std::uint8_t* m = mrow;
    // The destination's rows are usually a page apart, too far for the hardware to
    // prefetch: ask for the next row while this one is drawn.
    if (r + 1 < height) {
      const std::uint8_t* next = drow + w.dstPitch;
      for (int offset = 0; offset < width * B; offset += 64) {
        _mm_prefetch(reinterpret_cast<const char*>(next + offset), _MM_HINT_T0);
      }
    }
    const int head = op.Head(d, width);
    op.BeginRow(r, head);
    int c = 0;
    for (; c < head; ++c, d += B, s += w.srcStep, m += w.maskStep) op.Scalar(d, s, m, c);
    for (; c + N <= vectorEnd; c += N, d += N * B, s += N * w.srcStep, m += N * w.maskStep) {
      op.template Vector<kMirror>(d, s, m);
    }
    for (; c < width; ++c, d += B, s += w.srcStep, m += w.maskStep) op.Scalar(d, s, m, c);
    drow += w.dstPitch;
    srow += w.srcPitch;
    mrow += w.maskPitch;
  }
}

template <int B, int N, class Op>
static void VectorRows(const BlitWalk& w, int width, int height, Op& op) {
  if (width <= 0 || height <= 0) return;
  if (w.srcStep < 0) {
    VectorRowsOf<B, N, true>(w, width, height, op);
  } else {
    VectorRowsOf<B, N, false>(w, width, height, op);
  }
}

template <int B, int N, bool kMirror>
static inline __m128i LoadSource(const std::uint8_t* s) {
  if (!kMirror) return Load128(s);
  const __m128i v = Load128(s - (N - 1) * B);
  return B == 4 ? Reverse32x4(v) : B == 2 ? Reverse16x8(v) : v;
}

static void CopyRowsPlain(const BlitWalk& w, int bytes, int width, int height) {
  std::uint8_t* d = w.dst;
  const std::uint8_t* s = w.src;
  for (int r = 0; r < height; ++r, d += w.dstPitch, s += w.srcPitch) {
    std::memcpy(d, s, std::size_t(width) * bytes);
  }
}

// ---- Keyed and stipple copies (not mirrored) ---------------------------------------

template <int B, bool kSrcKey, bool kDstKey, bool kStipple>
struct KeyedCopySse2Op {
  std::uint32_t srcKey, dstKey;
  __m128i srcKeys, dstKeys;
  const StipplePattern* pattern;  // kStipple only
  std::uint8_t spread[8][24];     // pattern row i, byte k = column k & 7
  const std::uint8_t* row = nullptr;
  __m128i rowMask = _mm_setzero_si128();

  int Head(const std::uint8_t* d, int width) const { return AlignHead(d, B, width); }
  int VectorEnd(int width) const { return width; }
  void BeginRow(int r, int head) {
    if (!kStipple) return;
    row = pattern->rows[r & 7];
    // Byte k of the body's vectors is column head + k, which repeats every 8 columns.
    const __m128i flags = Load128(&spread[r & 7][head & 7]);
    rowMask = _mm_cmpgt_epi8(flags, _mm_setzero_si128());
  }
  void Scalar(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t*, int c) const {
    const std::uint32_t sv = LoadPixel<B>(s);
    if (kSrcKey && sv == srcKey) return;
    if (kDstKey && LoadPixel<B>(d) != dstKey) return;
    if (kStipple && !row[c & 7]) return;
    StorePixel<B>(d, sv);
  }
  template <bool kMirror>
  void Vector(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t*) const {
    const __m128i sv = Load128(s), dv = Load128(d);
    __m128i keep = KeepMask<kSrcKey, kDstKey, B == 1 ? Eq8 : Eq16>(sv, dv, srcKeys, dstKeys);
    if (kStipple) keep = _mm_or_si128(keep, _mm_xor_si128(rowMask, _mm_set1_epi32(-1)));
    Store128(d, Select(keep, dv, sv));
  }
};

template <int B, bool kStipple>
static void KeyedCopySse2(const BlitWalk& w, int width, int height, std::uint32_t flags,
                          std::uint32_t srcKey, std::uint32_t dstKey, std::int32_t level,
                          std::int32_t dx, std::int32_t dy) {
  assert(!(flags & BLIT_MIRROR));
  const std::uint32_t keys = flags & (BLIT_SRCKEY | BLIT_DSTKEY);
  if (!kStipple && keys == 0) {
    if (width > 0 && height > 0) CopyRowsPlain(w, B, width, height);
    return;
  }
  srcKey &= PixelValueMask<B>();
  dstKey &= PixelValueMask<B>();
  const __m128i sk = B == 1 ? _mm_set1_epi8(char(srcKey)) : _mm_set1_epi16(short(srcKey));
  const __m128i dk = B == 1 ? _mm_set1_epi8(char(dstKey)) : _mm_set1_epi16(short(dstKey));
  StipplePattern pattern = MakeStipplePattern(kStipple ? level : 256, dx, dy);
  auto run = [&](auto op) {
    op.srcKey = srcKey;
    op.dstKey = dstKey;
    op.srcKeys = sk;
    op.dstKeys = dk;
    op.pattern = &pattern;
    for (int i = 0; i < 8; ++i)
      for (int k = 0; k < 24; ++k) op.spread[i][k] = pattern.rows[i][k & 7];
    VectorRows<B, 16 / B>(w, width, height, op);
  };
  switch (keys) {
    case 0: run(KeyedCopySse2Op<B, false, false, kStipple>{}); break;
    case BLIT_SRCKEY: run(KeyedCopySse2Op<B, true, false, kStipple>{}); break;
    case BLIT_DSTKEY: run(KeyedCopySse2Op<B, false, true, kStipple>{}); break;
    default: run(KeyedCopySse2Op<B, true, true, kStipple>{}); break;
  }
}

TW_KEYED_BLIT(KeyedBlit8Sse2) {
  const BlitWalk w = StartWalk(1, dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                               flags & ~BLIT_MIRROR);
  KeyedCopySse2<1, false>(w, width, height, flags, srcKey, dstKey, level, dx, dy);
}

TW_KEYED_BLIT(KeyedBlit16Sse2) {
  const BlitWalk w = StartWalk(2, dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                               flags & ~BLIT_MIRROR);
  KeyedCopySse2<2, false>(w, width, height, flags, srcKey, dstKey, level, dx, dy);
}

TW_KEYED_BLIT(StippleBlit8Sse2) {
  const BlitWalk w = StartWalk(1, dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy,
                               flags & ~BLIT_MIRROR);
  KeyedCopySse2<1, true>(w, width, height, flags, srcKey, dstKey, level, dx, dy);
}

// ---- Full-level blends ---------------------------------------------------------------

// (a * s + ia * d) >> 8 per 16-bit lane. For 5-bit channels and for bytes alike the sum
// never exceeds 256 x 255, so it fits an unsigned lane.
static inline __m128i MixLevelLanes(__m128i s, __m128i d, __m128i a, __m128i ia) {
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, ia)), 8);
}

// Eight 16-bit pixels: per 5-bit channel (a * s + ia * d) >> 8, a and ia per lane.
template <int kR, int kG>
static inline __m128i MixLevel16x8(__m128i s, __m128i d, __m128i a, __m128i ia) {
  const __m128i five = _mm_set1_epi16(31);
  const __m128i sr = _mm_and_si128(_mm_srli_epi16(s, kR), five);
  const __m128i dr = _mm_and_si128(_mm_srli_epi16(d, kR), five);
  const __m128i sg = _mm_and_si128(_mm_srli_epi16(s, kG), five);
  const __m128i dg = _mm_and_si128(_mm_srli_epi16(d, kG), five);
  const __m128i sb = _mm_and_si128(s, five);
  const __m128i db = _mm_and_si128(d, five);
  const __m128i r = MixLevelLanes(sr, dr, a, ia);
  const __m128i g = MixLevelLanes(sg, dg, a, ia);
  const __m128i b = MixLevelLanes(sb, db, a, ia);
  return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, kR), _mm_slli_epi16(g, kG)), b);
}

// Four 32-bit pixels, per byte; aLo / iaLo weigh the first two pixels, aHi / iaHi the last.
static inline __m128i MixLevel32x4(__m128i s, __m128i d, __m128i aLo, __m128i iaLo,
                                   __m128i aHi, __m128i iaHi) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo =
      MixLevelLanes(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), aLo, iaLo);
  const __m128i hi =
      MixLevelLanes(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), aHi, iaHi);
  return _mm_packus_epi16(lo, hi);
}

template <int kR, int kG, bool kSrcKey, bool kDstKey>
struct BlendLevel16Sse2Op {
  std::uint32_t level, srcKey, dstKey;
  __m128i a, ia, srcKeys, dstKeys;
  int Head(const std::uint8_t* d, int width) const { return AlignHead(d, 2, width); }
  int VectorEnd(int width) const { return width; }
  void BeginRow(int, int) {}
  void Scalar(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t*, int) const {
    const std::uint32_t sv = LoadPixel<2>(s), dv = LoadPixel<2>(d);
    if (kSrcKey && sv == srcKey) return;
    if (kDstKey && dv != dstKey) return;
    StorePixel<2>(d, MixLevel16<kR, kG>(sv, dv, level));
  }
  template <bool kMirror>
  void Vector(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t*) const {
    const __m128i sv = LoadSource<2, 8, kMirror>(s), dv = Load128(d);
    const __m128i mixed = MixLevel16x8<kR, kG>(sv, dv, a, ia);
    if (!kSrcKey && !kDstKey) {
      Store128(d, mixed);
    } else {
      Store128(d, Select(KeepMask<kSrcKey, kDstKey, Eq16>(sv, dv, srcKeys, dstKeys), dv, mixed));
    }
  }
};

template <bool kSrcKey, bool kDstKey>
struct BlendLevel32Sse2Op {
  std::uint32_t level, srcKey, dstKey;
  __m128i a, ia, srcKeys, dstKeys;
  int Head(const std::uint8_t* d, int width) const { return AlignHead(d, 4, width); }
  int VectorEnd(int width) const { return width; }
  void BeginRow(int, int) {}
  void Scalar(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t*, int) const {
    const std::uint32_t sv = LoadPixel<4>(s), dv = LoadPixel<4>(d);
    if (kSrcKey && sv == srcKey) return;
    if (kDstKey && dv != dstKey) return;
    StorePixel<4>(d, MixLevel32(sv, dv, level));
  }
  template <bool kMirror>
  void Vector(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t*) const {
    const __m128i sv = LoadSource<4, 4, kMirror>(s), dv = Load128(d);
    const __m128i mixed = MixLevel32x4(sv, dv, a, ia, a, ia);
    if (!kSrcKey && !kDstKey) {
      Store128(d, mixed);
    } else {
      Store128(d, Select(KeepMask<kSrcKey, kDstKey, Eq32>(sv, dv, srcKeys, dstKeys), dv, mixed));
    }
  }
};

template <int B, template <bool, bool> class OpOf>
static void BlendSse2(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx,
                      std::int32_t dy, std::int32_t width, std::int32_t height,
                      const std::uint8_t* src, std::int32_t srcPitch, std::int32_t sx,
                      std::int32_t sy, std::uint32_t flags, std::uint32_t srcKey,
                      std::uint32_t dstKey, std::int32_t level) {
  const BlitWalk w =
      StartWalk(B, dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags);
  level = ClampLevel(level);
  srcKey &= PixelValueMask<B>();
  dstKey &= PixelValueMask<B>();
  const __m128i sk = B == 2 ? _mm_set1_epi16(short(srcKey)) : _mm_set1_epi32(int(srcKey));
  const __m128i dk = B == 2 ? _mm_set1_epi16(short(dstKey)) : _mm_set1_epi32(int(dstKey));
  const __m128i a = _mm_set1_epi16(short(level)), ia = _mm_set1_epi16(short(256 - level));
  auto run = [&](auto op) {
    op.level = std::uint32_t(level);
    op.srcKey = srcKey;
    op.dstKey = dstKey;
    op.a = a;
    op.ia = ia;
    op.srcKeys = sk;
    op.dstKeys = dk;
    VectorRows<B, 16 / B>(w, width, height, op);
  };
  switch (flags & (BLIT_SRCKEY | BLIT_DSTKEY)) {
    case 0: run(OpOf<false, false>{}); break;
    case BLIT_SRCKEY: run(OpOf<true, false>{}); break;
    case BLIT_DSTKEY: run(OpOf<false, true>{}); break;
    default: run(OpOf<true, true>{}); break;
  }
}

template <bool kS, bool kD>
using Blend555Sse2Op = BlendLevel16Sse2Op<kShiftR555, kShiftG555, kS, kD>;
template <bool kS, bool kD>
using Blend565Sse2Op = BlendLevel16Sse2Op<kShiftR565, kShiftG565, kS, kD>;

#define TW_KEYED_ARGS \
  dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags, srcKey, dstKey, level

TW_KEYED_BLIT(BlendBlit555Sse2) { BlendSse2<2, Blend555Sse2Op>(TW_KEYED_ARGS); }
TW_KEYED_BLIT(BlendBlit565Sse2) { BlendSse2<2, Blend565Sse2Op>(TW_KEYED_ARGS); }
TW_KEYED_BLIT(BlendBlit32Sse2) { BlendSse2<4, BlendLevel32Sse2Op>(TW_KEYED_ARGS); }

// ---- Full-level mask blends ---------------------------------------------------------

// 16 bits: the head up to the next multiple of 4 of the destination x and the tail use the
// table rule with weights (a >> 3, (256 - a) >> 3); the groups between use the full-level
// rule, eight pixels per step and a last group of four in scalar code.
template <int kR, int kG>
struct MaskLevel16Sse2Op {
  MaskGroups groups;
  int Head(const std::uint8_t*, int) const { return groups.head; }
  int VectorEnd(int) const { return groups.tailStart; }
  void BeginRow(int, int) {}
  void Scalar(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, int c) const {
    const std::uint32_t sv = LoadPixel<2>(s), dv = LoadPixel<2>(d), a = *m;
    const bool edge = c < groups.head || c >= groups.tailStart;
    StorePixel<2>(d, edge ? MixTable16<kR, kG>(sv, dv, BlendTable[a >> 3],
                                               BlendTable[(256 - a) >> 3])
                          : MixLevel16<kR, kG>(sv, dv, a));
  }
  template <bool kMirror>
  void Vector(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m) const {
    __m128i mask = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kMirror ? m - 7 : m));
    if (kMirror) mask = Reverse8x8(mask);
    const __m128i dv = Load128(d);
    // Channels that a = 0 leaves as they are: everything but the bits the blend drops.
    const __m128i kept = _mm_set1_epi16(short((31 << kR) | (31 << kG) | 31));
    if (_mm_cvtsi128_si32(mask) == 0 && _mm_cvtsi128_si32(_mm_srli_si128(mask, 4)) == 0) {
      Store128(d, _mm_and_si128(dv, kept));
      return;
    }
    const __m128i a = _mm_unpacklo_epi8(mask, _mm_setzero_si128());
    const __m128i ia = _mm_sub_epi16(_mm_set1_epi16(256), a);
    Store128(d, MixLevel16x8<kR, kG>(LoadSource<2, 8, kMirror>(s), dv, a, ia));
  }
};

// 32 bits: a = 0 leaves the pixel (the formula gives it back exactly), so whole groups of
// zero mask bytes are skipped.
struct MaskLevel32Sse2Op {
  int Head(const std::uint8_t*, int) const { return 0; }
  int VectorEnd(int width) const { return width; }
  void BeginRow(int, int) {}
  void Scalar(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m, int) const {
    const std::uint32_t a = *m;
    if (a != 0) StorePixel<4>(d, MixLevel32(LoadPixel<4>(s), LoadPixel<4>(d), a));
  }
  // Four pixels whose first (in destination order) is at s and m.
  template <bool kMirror>
  static void Four(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m) {
    __m128i mask = Load32(kMirror ? m - 3 : m);
    const std::int32_t four = _mm_cvtsi128_si32(mask);
    if (four == 0) return;
    if (four == -1) {
      // a = 255 throughout: (255 s + d) >> 8 = s + floor((d - s) / 256), i.e. s, less one
      // where s > d: max(s - 1, min(s, d)).
      const __m128i sv = LoadSource<4, 4, kMirror>(s), dv = Load128(d);
      const __m128i lessOne = _mm_subs_epu8(sv, _mm_set1_epi8(1));
      Store128(d, _mm_max_epu8(lessOne, _mm_min_epu8(sv, dv)));
      return;
    }
    if (kMirror) mask = Reverse8x4(mask);
    const __m128i a16 = _mm_unpacklo_epi8(mask, _mm_setzero_si128());  // a0 a1 a2 a3
    const __m128i pairs = _mm_unpacklo_epi16(a16, a16);                  // a0 a0 a1 a1 ...
    const __m128i aLo = _mm_unpacklo_epi32(pairs, pairs);                // a0 x4, a1 x4
    const __m128i aHi = _mm_unpackhi_epi32(pairs, pairs);                // a2 x4, a3 x4
    const __m128i full = _mm_set1_epi16(256);
    const __m128i sv = LoadSource<4, 4, kMirror>(s), dv = Load128(d);
    Store128(d, MixLevel32x4(sv, dv, aLo, _mm_sub_epi16(full, aLo), aHi,
                             _mm_sub_epi16(full, aHi)));
  }
  template <bool kMirror>
  void Vector(std::uint8_t* d, const std::uint8_t* s, const std::uint8_t* m) const {
    Four<kMirror>(d, s, m);
    Four<kMirror>(d + 16, kMirror ? s - 16 : s + 16, kMirror ? m - 4 : m + 4);
  }
};

#define TW_MASK_WALK(bytes)                                                               \
  StartWalk(bytes, dst, dstPitch, dx, dy, width, height, src, srcPitch, sx, sy, flags, mask, \
            maskPitch)

TW_MASK_BLIT(MaskBlendBlit555Sse2) {
  MaskLevel16Sse2Op<kShiftR555, kShiftG555> op{MaskGroupsOf(dx, width)};
  VectorRows<2, 8>(TW_MASK_WALK(2), width, height, op);
}
TW_MASK_BLIT(MaskBlendBlit565Sse2) {
  MaskLevel16Sse2Op<kShiftR565, kShiftG565> op{MaskGroupsOf(dx, width)};
  VectorRows<2, 8>(TW_MASK_WALK(2), width, height, op);
}
TW_MASK_BLIT(MaskBlendBlit32Sse2) {
  MaskLevel32Sse2Op op;
  VectorRows<4, 8>(TW_MASK_WALK(4), width, height, op);
}
