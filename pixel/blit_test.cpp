#include "pixel/blit.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "pixel/blit_simd.h"
#include "pixel/cpu_features.h"
#include "pixel/pixel_format.h"

// ---- Test surfaces -----------------------------------------------------------------------

// A pixel buffer with a guard margin; top-down or bottom-up (negative pitch).
struct Surface {
  int width = 0, height = 0, bytes = 0;
  std::int32_t pitch = 0;
  std::vector<std::uint8_t> memory;
  std::uint8_t* base = nullptr;

  Surface(int w, int h, int b, int extraPitch, bool bottomUp)
      : width(w), height(h), bytes(b) {
    const int rowBytes = (w * b + 3) / 4 * 4 + extraPitch * 4;
    memory.assign(std::size_t(rowBytes) * h + 64, 0);
    base = memory.data() + 32;
    pitch = rowBytes;
    if (bottomUp) {
      base += std::ptrdiff_t(rowBytes) * (h - 1);
      pitch = -rowBytes;
    }
  }
  Surface(const Surface& o) : width(o.width), height(o.height), bytes(o.bytes), pitch(o.pitch),
                              memory(o.memory) {
    base = memory.data() + (o.base - o.memory.data());
  }
  std::uint8_t* At(int x, int y) { return base + std::ptrdiff_t(y) * pitch + x * bytes; }
  std::uint32_t Get(int x, int y) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint32_t(At(x, y)[i]) << (8 * i);
    return v;
  }
  void Set(int x, int y, std::uint32_t v) {
    for (int i = 0; i < bytes; ++i) At(x, y)[i] = std::uint8_t(v >> (8 * i));
  }
};

static std::uint32_t ValueMask(int bytes) {
  return bytes == 4 ? 0xffffffffu : (1u << (8 * bytes)) - 1;
}

// Random contents drawn partly from a small set of values, so keys match often.
static void Fill(Surface& s, std::mt19937& rng, const std::vector<std::uint32_t>& common) {
  for (auto& b : s.memory) b = std::uint8_t(rng());
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x)
      if (rng() % 2) s.Set(x, y, common[rng() % common.size()] & ValueMask(s.bytes));
}

// ---- Reference arithmetic, written per channel from the stated formulas -----------------

struct Channel {
  int shift, bits;
};
// 16-bit channel fields as stored (565 green is 6 bits).
static std::vector<Channel> Channels16(bool is565) {
  if (is565) return {{11, 5}, {5, 6}, {0, 5}};
  return {{10, 5}, {5, 5}, {0, 5}};
}

// A 5-bit view of a 16-bit field: 6-bit green drops its lowest bit.
static std::uint32_t Field5(std::uint32_t p, Channel ch) {
  const std::uint32_t v = (p >> ch.shift) & ((1u << ch.bits) - 1);
  return ch.bits == 6 ? v >> 1 : v;
}
static std::uint32_t Place5(std::uint32_t v5, Channel ch) {
  return (ch.bits == 6 ? v5 << 1 : v5) << ch.shift;
}

static std::uint32_t RefTable16(std::uint32_t s, std::uint32_t d, int ws, int wd, bool is565) {
  std::uint32_t out = 0;
  for (Channel ch : Channels16(is565)) {
    out |= Place5((ws * Field5(s, ch) + wd * Field5(d, ch)) >> 5, ch);
  }
  return out;
}
static std::uint32_t RefLevel16(std::uint32_t s, std::uint32_t d, int a, bool is565) {
  std::uint32_t out = 0;
  for (Channel ch : Channels16(is565)) {
    out |= Place5((a * Field5(s, ch) + (256 - a) * Field5(d, ch)) >> 8, ch);
  }
  return out;
}
static std::uint32_t RefTable24(std::uint32_t s, std::uint32_t d, int ws, int wd) {
  std::uint32_t out = 0;
  for (int i = 0; i < 3; ++i) {
    const int sc = (s >> (8 * i)) & 255, dc = (d >> (8 * i)) & 255;
    out |= std::uint32_t((ws * (sc >> 3) + wd * (dc >> 3)) >> 2) << (8 * i);
  }
  return out;
}
static std::uint32_t RefLevel32(std::uint32_t s, std::uint32_t d, int a) {
  std::uint32_t out = 0;
  for (int i = 0; i < 4; ++i) {
    const int sc = (s >> (8 * i)) & 255, dc = (d >> (8 * i)) & 255;
    out |= std::uint32_t((a * sc + (256 - a) * dc) >> 8) << (8 * i);
  }
  return out;
}

static int Matrix(int x, int y) { return DitherMatrix8[y & 7][x & 7]; }

// What a blend-like kernel writes for one pixel.
enum class Rule {
  Copy,
  Stipple,
  Table555,
  Table565,
  Table24,  // 24 and 32 bits
  Level555,
  Level565,
  Level32,
};

static std::uint32_t RefMix(Rule rule, std::uint32_t s, std::uint32_t d, int level) {
  const int ws = level >> 3, wd = (256 - level) >> 3;
  switch (rule) {
    case Rule::Table555: return RefTable16(s, d, ws, wd, false);
    case Rule::Table565: return RefTable16(s, d, ws, wd, true);
    case Rule::Table24: return RefTable24(s, d, ws, wd);
    case Rule::Level555: return RefLevel16(s, d, level, false);
    case Rule::Level565: return RefLevel16(s, d, level, true);
    case Rule::Level32: return RefLevel32(s, d, level);
    default: return s;
  }
}

struct Rect {
  int dx, dy, w, h, sx, sy;
};

// Source coordinates of rectangle pixel (c, r) after mirror and flip.
static int SrcCol(const Rect& k, std::uint32_t flags, int c) {
  return flags & BLIT_MIRROR ? k.sx + k.w - 1 - c : k.sx + c;
}
static int SrcRow(const Rect& k, std::uint32_t flags, int r) {
  return flags & BLIT_FLIP ? k.sy + k.h - 1 - r : k.sy + r;
}

static void RefKeyed(Surface& dst, Surface& src, const Rect& k, std::uint32_t flags,
                     std::uint32_t srcKey, std::uint32_t dstKey, int level, Rule rule) {
  const std::uint32_t mask = ValueMask(dst.bytes);
  for (int r = 0; r < k.h; ++r) {
    for (int c = 0; c < k.w; ++c) {
      const int x = k.dx + c, y = k.dy + r;
      const std::uint32_t s = src.Get(SrcCol(k, flags, c), SrcRow(k, flags, r));
      const std::uint32_t d = dst.Get(x, y);
      if ((flags & BLIT_SRCKEY) && s == (srcKey & mask)) continue;
      if ((flags & BLIT_DSTKEY) && d != (dstKey & mask)) continue;
      if (rule == Rule::Stipple && !((level >> 2) >= Matrix(x, y))) continue;
      dst.Set(x, y, RefMix(rule, s, d, level));
    }
  }
}

enum class MaskRule { Table555, Table565, Table24, Level555, Level565, Level32, Dither };

static void RefMask(Surface& dst, Surface& src, Surface& mask, const Rect& k,
                    std::uint32_t flags, MaskRule rule) {
  const int head = std::min(k.w, (4 - (k.dx & 3)) & 3);
  const int tailStart = k.w - (k.w - head) % 4;
  for (int r = 0; r < k.h; ++r) {
    for (int c = 0; c < k.w; ++c) {
      const int x = k.dx + c, y = k.dy + r;
      const int mx = SrcCol(k, flags, c), my = SrcRow(k, flags, r);
      const std::uint32_t s = src.Get(mx, my), d = dst.Get(x, y);
      const int a = int(mask.Get(mx, my));
      const bool edge = c < head || c >= tailStart;
      switch (rule) {
        case MaskRule::Table555:
        case MaskRule::Table565:
        case MaskRule::Table24:
          if (a == 0) break;
          if (a == 255) {
            dst.Set(x, y, s);
          } else if (rule == MaskRule::Table24) {
            dst.Set(x, y, RefTable24(s, d, a >> 3, (255 - a) >> 3));
          } else {
            dst.Set(x, y, RefTable16(s, d, a >> 3, (255 - a) >> 3, rule == MaskRule::Table565));
          }
          break;
        case MaskRule::Level555:
        case MaskRule::Level565: {
          const bool is565 = rule == MaskRule::Level565;
          dst.Set(x, y, edge ? RefTable16(s, d, a >> 3, (256 - a) >> 3, is565)
                             : RefLevel16(s, d, a, is565));
          break;
        }
        case MaskRule::Level32:
          if (a != 0) dst.Set(x, y, RefLevel32(s, d, a));
          break;
        case MaskRule::Dither:
          if (a > 3 && a / 4 + 1 >= Matrix(x, y)) dst.Set(x, y, s);
          break;
      }
    }
  }
}

// ---- Random rectangles ---------------------------------------------------------------

struct Scene {
  Surface dst, src, mask;
  Rect k;
};

static Scene MakeScene(std::mt19937& rng, int bytes, int maxW = 40, int maxH = 12) {
  const int w = int(rng() % (maxW + 1)), h = int(rng() % (maxH + 1));
  const int dw = w + int(rng() % 9), dh = h + int(rng() % 4);
  const int sw = w + int(rng() % 9), sh = h + int(rng() % 4);
  Scene sc{Surface(std::max(dw, 1), std::max(dh, 1), bytes, int(rng() % 3), rng() % 2 == 0),
           Surface(std::max(sw, 1), std::max(sh, 1), bytes, int(rng() % 3), rng() % 2 == 0),
           Surface(std::max(sw, 1), std::max(sh, 1), 1, int(rng() % 3), rng() % 2 == 0),
           Rect{}};
  sc.k = Rect{int(rng() % (dw - w + 1)), int(rng() % (dh - h + 1)), w, h,
              int(rng() % (sw - w + 1)), int(rng() % (sh - h + 1))};
  return sc;
}

static int RandomLevel(std::mt19937& rng) {
  static const int kLevels[] = {0, 1, 3, 4, 7, 8, 9, 64, 128, 200, 248, 252, 254, 255, 256};
  return rng() % 3 ? kLevels[rng() % 15] : int(rng() % 257);
}

// Masks like a sprite's: runs of 0 and 255 with soft values between, and some noise.
static void FillMask(Surface& m, std::mt19937& rng) {
  static const std::uint8_t kAlpha[] = {0, 0, 0, 255, 255, 255, 254, 1, 3, 4, 128, 252};
  for (std::size_t i = 0; i < m.memory.size();) {
    const std::size_t run = rng() % 3 ? 1 + rng() % 24 : 1;
    const std::uint8_t v = rng() % 4 ? kAlpha[rng() % 12] : std::uint8_t(rng());
    for (std::size_t j = 0; j < run && i < m.memory.size(); ++j) m.memory[i++] = v;
  }
}

static const std::vector<std::uint32_t> kCommon = {0, 0x7fff, 0x12345678, 0xff00ff};

// ---- Keyed family against the reference -----------------------------------------------

struct KeyedCase {
  const char* name;
  KeyedBlitKernel kernel;
  int bytes;
  Rule rule;
  std::uint32_t allowed;  // flags the kernel accepts
};

static void CheckKeyed(const KeyedCase& kc, int rounds) {
  std::mt19937 rng(std::hash<std::string>()(kc.name) & 0xffffffff);
  for (int i = 0; i < rounds; ++i) {
    Scene sc = MakeScene(rng, kc.bytes);
    Fill(sc.dst, rng, kCommon);
    Fill(sc.src, rng, kCommon);
    const std::uint32_t flags =
        (rng() & (BLIT_SRCKEY | BLIT_DSTKEY | BLIT_MIRROR | BLIT_FLIP)) & kc.allowed;
    const std::uint32_t srcKey = rng() % 2 ? kCommon[rng() % 4] : rng();
    const std::uint32_t dstKey = rng() % 2 ? kCommon[rng() % 4] : rng();
    const int level = RandomLevel(rng);
    Surface want = sc.dst;
    const Surface srcBefore = sc.src;
    RefKeyed(want, sc.src, sc.k, flags, srcKey, dstKey, level, kc.rule);
    const Rect& k = sc.k;
    kc.kernel(sc.dst.base, sc.dst.pitch, k.dx, k.dy, k.w, k.h, sc.src.base, sc.src.pitch, k.sx,
              k.sy, flags, srcKey, dstKey, level);
    ASSERT_EQ(sc.dst.memory, want.memory)
        << kc.name << " round " << i << " flags " << flags << " level " << level << " rect "
        << k.dx << "," << k.dy << " " << k.w << "x" << k.h << " from " << k.sx << "," << k.sy
        << " pitch " << sc.dst.pitch << "/" << sc.src.pitch;
    ASSERT_EQ(sc.src.memory, srcBefore.memory) << kc.name;
  }
}

static const std::uint32_t kAll = BLIT_SRCKEY | BLIT_DSTKEY | BLIT_MIRROR | BLIT_FLIP;
static const std::uint32_t kNoMirror = kAll & ~BLIT_MIRROR;

TEST(Blit, KeyedFamilyMatchesReference) {
  const KeyedCase cases[] = {
      {"KeyedBlit8", KeyedBlit8, 1, Rule::Copy, kAll},
      {"KeyedBlit16", KeyedBlit16, 2, Rule::Copy, kAll},
      {"KeyedBlit24", KeyedBlit24, 3, Rule::Copy, kAll},
      {"KeyedBlit32", KeyedBlit32, 4, Rule::Copy, kAll},
      {"KeyedBlit8Mmx", KeyedBlit8Mmx, 1, Rule::Copy, kAll},
      {"KeyedBlit16Mmx", KeyedBlit16Mmx, 2, Rule::Copy, kAll},
      {"StippleBlit8", StippleBlit8, 1, Rule::Stipple, kAll},
      {"StippleBlit16", StippleBlit16, 2, Rule::Stipple, kAll},
      {"StippleBlit24", StippleBlit24, 3, Rule::Stipple, kAll},
      {"StippleBlit32", StippleBlit32, 4, Rule::Stipple, kAll},
      {"StippleBlit8Mmx", StippleBlit8Mmx, 1, Rule::Stipple, kAll},
      {"BlendBlit555", BlendBlit555, 2, Rule::Table555, kAll},
      {"BlendBlit565", BlendBlit565, 2, Rule::Table565, kAll},
      {"BlendBlit24", BlendBlit24, 3, Rule::Table24, kAll},
      {"BlendBlit32", BlendBlit32, 4, Rule::Table24, kAll},
      {"BlendBlit555Mmx", BlendBlit555Mmx, 2, Rule::Level555, kAll},
      {"BlendBlit565Mmx", BlendBlit565Mmx, 2, Rule::Level565, kAll},
      {"BlendBlit32Mmx", BlendBlit32Mmx, 4, Rule::Level32, kAll},
      {"BlendBlit555MmxPortable", BlendBlit555MmxPortable, 2, Rule::Level555, kAll},
      {"BlendBlit565MmxPortable", BlendBlit565MmxPortable, 2, Rule::Level565, kAll},
      {"BlendBlit32MmxPortable", BlendBlit32MmxPortable, 4, Rule::Level32, kAll},
  };
  for (const auto& kc : cases) CheckKeyed(kc, 400);
}

TEST(Blit, Sse2KeyedFamilyMatchesReference) {
  if (!CpuHasSse2()) GTEST_SKIP() << "no SSE2";
  const KeyedCase cases[] = {
      {"KeyedBlit8Sse2", KeyedBlit8Sse2, 1, Rule::Copy, kNoMirror},
      {"KeyedBlit16Sse2", KeyedBlit16Sse2, 2, Rule::Copy, kNoMirror},
      {"StippleBlit8Sse2", StippleBlit8Sse2, 1, Rule::Stipple, kNoMirror},
      {"BlendBlit555Sse2", BlendBlit555Sse2, 2, Rule::Level555, kAll},
      {"BlendBlit565Sse2", BlendBlit565Sse2, 2, Rule::Level565, kAll},
      {"BlendBlit32Sse2", BlendBlit32Sse2, 4, Rule::Level32, kAll},
  };
  for (const auto& kc : cases) CheckKeyed(kc, 600);
}

TEST(Blit, CopyKernelsCopyRows) {
  std::mt19937 rng(17);
  for (int bytes : {1, 2}) {
    for (int i = 0; i < 300; ++i) {
      Scene sc = MakeScene(rng, bytes);
      Fill(sc.dst, rng, kCommon);
      Fill(sc.src, rng, kCommon);
      Surface want = sc.dst;
      RefKeyed(want, sc.src, sc.k, 0, 0, 0, 256, Rule::Copy);
      const Rect& k = sc.k;
      (bytes == 1 ? CopyBlit8 : CopyBlit16)(sc.dst.base, sc.dst.pitch, k.dx, k.dy, k.w, k.h,
                                            sc.src.base, sc.src.pitch, k.sx, k.sy);
      ASSERT_EQ(sc.dst.memory, want.memory) << bytes << " round " << i;
    }
  }
}

// ---- Mask family -----------------------------------------------------------------------

struct MaskCase {
  const char* name;
  MaskBlitKernel kernel;
  int bytes;
  MaskRule rule;
};

static void CheckMask(const MaskCase& mc, int rounds) {
  std::mt19937 rng(std::hash<std::string>()(mc.name) & 0xffffffff);
  for (int i = 0; i < rounds; ++i) {
    Scene sc = MakeScene(rng, mc.bytes);
    Fill(sc.dst, rng, kCommon);
    Fill(sc.src, rng, kCommon);
    FillMask(sc.mask, rng);
    // Keys must be ignored: pass keys that match and all key flags.
    const std::uint32_t flags = rng() & kAll;
    Surface want = sc.dst;
    RefMask(want, sc.src, sc.mask, sc.k, flags, mc.rule);
    const Rect& k = sc.k;
    mc.kernel(sc.dst.base, sc.dst.pitch, k.dx, k.dy, k.w, k.h, sc.src.base, sc.src.pitch, k.sx,
              k.sy, sc.mask.base, sc.mask.pitch, flags);
    ASSERT_EQ(sc.dst.memory, want.memory)
        << mc.name << " round " << i << " flags " << flags << " rect " << k.dx << "," << k.dy
        << " " << k.w << "x" << k.h;
  }
}

TEST(Blit, MaskFamilyMatchesReference) {
  const MaskCase cases[] = {
      {"MaskBlendBlit555", MaskBlendBlit555, 2, MaskRule::Table555},
      {"MaskBlendBlit565", MaskBlendBlit565, 2, MaskRule::Table565},
      {"MaskBlendBlit24", MaskBlendBlit24, 3, MaskRule::Table24},
      {"MaskBlendBlit32", MaskBlendBlit32, 4, MaskRule::Table24},
      {"MaskBlendBlit555Mmx", MaskBlendBlit555Mmx, 2, MaskRule::Level555},
      {"MaskBlendBlit565Mmx", MaskBlendBlit565Mmx, 2, MaskRule::Level565},
      {"MaskBlendBlit32Mmx", MaskBlendBlit32Mmx, 4, MaskRule::Level32},
      {"MaskBlendBlit555MmxPortable", MaskBlendBlit555MmxPortable, 2, MaskRule::Level555},
      {"MaskBlendBlit565MmxPortable", MaskBlendBlit565MmxPortable, 2, MaskRule::Level565},
      {"MaskBlendBlit32MmxPortable", MaskBlendBlit32MmxPortable, 4, MaskRule::Level32},
      {"MaskDitherBlit8", MaskDitherBlit8, 1, MaskRule::Dither},
      {"MaskDitherBlit16", MaskDitherBlit16, 2, MaskRule::Dither},
      {"MaskDitherBlit24", MaskDitherBlit24, 3, MaskRule::Dither},
      {"MaskDitherBlit32", MaskDitherBlit32, 4, MaskRule::Dither},
  };
  for (const auto& mc : cases) CheckMask(mc, 400);
}

TEST(Blit, Sse2MaskFamilyMatchesReference) {
  if (!CpuHasSse2()) GTEST_SKIP() << "no SSE2";
  const MaskCase cases[] = {
      {"MaskBlendBlit555Sse2", MaskBlendBlit555Sse2, 2, MaskRule::Level555},
      {"MaskBlendBlit565Sse2", MaskBlendBlit565Sse2, 2, MaskRule::Level565},
      {"MaskBlendBlit32Sse2", MaskBlendBlit32Sse2, 4, MaskRule::Level32},
  };
  for (const auto& mc : cases) CheckMask(mc, 800);
}

// ---- Scaled family -----------------------------------------------------------------------

struct ScaledScene {
  Surface dst, src, mask;
  int dx, dy, w, h, sx, sy, sw, sh;
};

static ScaledScene MakeScaledScene(std::mt19937& rng, int bytes) {
  const int w = int(rng() % 30), h = int(rng() % 10);
  const int sw = 1 + int(rng() % 30), sh = 1 + int(rng() % 10);
  const int dw = w + int(rng() % 5), dh = h + int(rng() % 3);
  const int srcW = sw + int(rng() % 5), srcH = sh + int(rng() % 3);
  ScaledScene sc{Surface(std::max(dw, 1), std::max(dh, 1), bytes, int(rng() % 3), rng() % 2),
                 Surface(srcW, srcH, bytes, int(rng() % 3), rng() % 2),
                 Surface(srcW, srcH, 1, int(rng() % 3), rng() % 2),
                 int(rng() % (dw - w + 1)), int(rng() % (dh - h + 1)), w, h,
                 int(rng() % (srcW - sw + 1)), int(rng() % (srcH - sh + 1)), sw, sh};
  return sc;
}

static void RefScaled(ScaledScene& sc, Surface& want, std::uint32_t flags, std::uint32_t srcKey,
                      std::uint32_t dstKey, int level, bool stipple, int maskRule) {
  const std::uint32_t vmask = ValueMask(want.bytes);
  for (int r = 0; r < sc.h; ++r) {
    for (int c = 0; c < sc.w; ++c) {
      const int offX = int(std::int64_t(c) * sc.sw / sc.w);
      const int offY = int(std::int64_t(r) * sc.sh / sc.h);
      const int mx = flags & BLIT_MIRROR ? sc.sx + sc.sw - 1 - offX : sc.sx + offX;
      const int my = flags & BLIT_FLIP ? sc.sy + sc.sh - 1 - offY : sc.sy + offY;
      const int x = sc.dx + c, y = sc.dy + r;
      const std::uint32_t s = sc.src.Get(mx, my), d = want.Get(x, y);
      if (maskRule >= 0) {
        const int a = int(sc.mask.Get(mx, my));
        if (a == 0) continue;
        want.Set(x, y, a == 255 ? s : RefTable16(s, d, a >> 3, (255 - a) >> 3, maskRule == 1));
        continue;
      }
      if ((flags & BLIT_SRCKEY) && s == (srcKey & vmask)) continue;
      if ((flags & BLIT_DSTKEY) && d != (dstKey & vmask)) continue;
      if (stipple && !((level >> 2) >= Matrix(x, y))) continue;
      want.Set(x, y, s);
    }
  }
}

TEST(Blit, ScaledFamilyMatchesReference) {
  struct ScaledCase {
    const char* name;
    ScaledBlitKernel kernel;
    int bytes;
    bool stipple;
  };
  const ScaledCase cases[] = {
      {"ScaledBlit8", ScaledBlit8, 1, false},
      {"ScaledBlit16", ScaledBlit16, 2, false},
      {"ScaledBlit24", ScaledBlit24, 3, false},
      {"ScaledBlit32", ScaledBlit32, 4, false},
      {"ScaledEffectBlit8", ScaledEffectBlit8, 1, true},
      {"ScaledEffectBlit16", ScaledEffectBlit16, 2, true},
      {"ScaledEffectBlit24", ScaledEffectBlit24, 3, true},
      {"ScaledEffectBlit32", ScaledEffectBlit32, 4, true},
  };
  for (const auto& kc : cases) {
    std::mt19937 rng(std::hash<std::string>()(kc.name) & 0xffffffff);
    for (int i = 0; i < 400; ++i) {
      ScaledScene sc = MakeScaledScene(rng, kc.bytes);
      Fill(sc.dst, rng, kCommon);
      Fill(sc.src, rng, kCommon);
      const std::uint32_t flags = rng() & kAll;
      const std::uint32_t srcKey = kCommon[rng() % 4], dstKey = kCommon[rng() % 4];
      const int level = RandomLevel(rng);
      Surface want = sc.dst;
      RefScaled(sc, want, flags, srcKey, dstKey, level, kc.stipple, -1);
      kc.kernel(sc.dst.base, sc.dst.pitch, sc.dx, sc.dy, sc.w, sc.h, sc.src.base, sc.src.pitch,
                sc.sx, sc.sy, sc.sw, sc.sh, flags, srcKey, dstKey, level);
      ASSERT_EQ(sc.dst.memory, want.memory)
          << kc.name << " round " << i << " " << sc.sw << "x" << sc.sh << " -> " << sc.w << "x"
          << sc.h << " flags " << flags;
    }
  }
  const ScaledMaskBlitKernel maskKernels[] = {ScaledMaskBlit555, ScaledMaskBlit565};
  for (int is565 = 0; is565 < 2; ++is565) {
    std::mt19937 rng(99 + is565);
    for (int i = 0; i < 400; ++i) {
      ScaledScene sc = MakeScaledScene(rng, 2);
      Fill(sc.dst, rng, kCommon);
      Fill(sc.src, rng, kCommon);
      FillMask(sc.mask, rng);
      const std::uint32_t flags = rng() & kAll;
      Surface want = sc.dst;
      RefScaled(sc, want, flags, 0, 0, 0, false, is565);
      maskKernels[is565](sc.dst.base, sc.dst.pitch, sc.dx, sc.dy, sc.w, sc.h, sc.src.base,
                         sc.src.pitch, sc.sx, sc.sy, sc.sw, sc.sh, sc.mask.base,
                         sc.mask.pitch, flags);
      ASSERT_EQ(sc.dst.memory, want.memory) << "ScaledMask " << is565 << " round " << i;
    }
  }
}

// ---- Stated edge cases (they pin the reference above to the stated rules) -------------

static std::vector<std::uint8_t> StippleCoverage(int level, int dx, int dy, int w, int h) {
  Surface dst(24, 24, 1, 0, false), src(24, 24, 1, 0, false);
  std::fill(src.memory.begin(), src.memory.end(), 1);
  StippleBlit8(dst.base, dst.pitch, dx, dy, w, h, src.base, src.pitch, 0, 0, 0, 0, 0, level);
  return dst.memory;
}

TEST(Blit, StippleLevelsCoverTheStatedCells) {
  for (int level : {0, 1, 2, 3}) {
    const auto m = StippleCoverage(level, 0, 0, 16, 16);
    EXPECT_EQ(std::count(m.begin(), m.end(), 1), 0) << level;
  }
  for (int level : {252, 253, 254, 255}) {
    const auto m = StippleCoverage(level, 0, 0, 16, 16);
    EXPECT_EQ(std::count(m.begin(), m.end(), 1), 4 * 63) << level;
  }
  const auto all = StippleCoverage(256, 0, 0, 16, 16);
  EXPECT_EQ(std::count(all.begin(), all.end(), 1), 256);
  // Level 4: exactly the cells of matrix value 1, at fixed screen positions.
  const auto a = StippleCoverage(4, 0, 0, 24, 24);
  const auto b = StippleCoverage(4, 3, 5, 13, 11);
  Surface probe(24, 24, 1, 0, false);
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      const std::size_t at = std::size_t(probe.At(x, y) - probe.memory.data());
      EXPECT_EQ(a[at], Matrix(x, y) == 1 ? 1 : 0);
      const bool inside = x >= 3 && x < 16 && y >= 5 && y < 16;
      EXPECT_EQ(b[at], inside && Matrix(x, y) == 1 ? 1 : 0);
    }
  }
}

TEST(Blit, BlendExtremesAndMaskValues) {
  Surface dst(4, 1, 2, 0, false), src(4, 1, 2, 0, false);
  const std::uint16_t s[4] = {0x7fff, 0x1234, 0x0421, 0x5ad6};
  const std::uint16_t d[4] = {0x0000, 0x6b5a, 0x7c1f, 0x2108};
  auto reset = [&] {
    for (int i = 0; i < 4; ++i) src.Set(i, 0, s[i]), dst.Set(i, 0, d[i]);
  };
  reset();
  BlendBlit555(dst.base, dst.pitch, 0, 0, 4, 1, src.base, src.pitch, 0, 0, 0, 0, 0, 256);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(dst.Get(i, 0), s[i]);  // 256 copies exactly
  reset();
  BlendBlit555(dst.base, dst.pitch, 0, 0, 4, 1, src.base, src.pitch, 0, 0, 0, 0, 0, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(dst.Get(i, 0), d[i]);  // 0 leaves it
  reset();
  BlendBlit565(dst.base, dst.pitch, 0, 0, 4, 1, src.base, src.pitch, 0, 0, 0, 0, 0, 256);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(dst.Get(i, 0), s[i] & ~0x20u);  // green bit 0 cleared
  reset();
  BlendBlit565(dst.base, dst.pitch, 0, 0, 4, 1, src.base, src.pitch, 0, 0, 0, 0, 0, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(dst.Get(i, 0), d[i] & ~0x20u);

  Surface d32(2, 1, 4, 0, false), s32(2, 1, 4, 0, false);
  s32.Set(0, 0, 0xfffefdfc);
  s32.Set(1, 0, 0x0a0b0c0d);
  BlendBlit32(d32.base, d32.pitch, 0, 0, 2, 1, s32.base, s32.pitch, 0, 0, 0, 0, 0, 256);
  EXPECT_EQ(d32.Get(0, 0), 0x00f8f8f8u);  // low three bits gone, fourth byte 0
  EXPECT_EQ(d32.Get(1, 0), 0x00080808u);

  // Mask 255 copies, 254 uses weights 31 and 0 in the table kernels.
  Surface m(4, 1, 1, 0, false);
  reset();
  m.Set(0, 0, 255), m.Set(1, 0, 254), m.Set(2, 0, 0), m.Set(3, 0, 255);
  MaskBlendBlit565(dst.base, dst.pitch, 0, 0, 4, 1, src.base, src.pitch, 0, 0, m.base, m.pitch,
                   0);
  EXPECT_EQ(dst.Get(0, 0), s[0]);
  EXPECT_EQ(dst.Get(1, 0), RefTable16(s[1], d[1], 31, 0, true));
  EXPECT_EQ(dst.Get(2, 0), d[2]);
  EXPECT_EQ(dst.Get(3, 0), s[3]);
  // The full-level 32-bit mask blend does not reproduce the source at 255.
  Surface m32(1, 1, 1, 0, false);
  m32.Set(0, 0, 255);
  d32.Set(0, 0, 0);
  MaskBlendBlit32Mmx(d32.base, d32.pitch, 0, 0, 1, 1, s32.base, s32.pitch, 0, 0, m32.base,
                     m32.pitch, 0);
  EXPECT_EQ(d32.Get(0, 0), 0xfefdfcfbu);
}

TEST(Blit, BlendLevelsOutsideTheRangeAreClamped) {
  std::mt19937 rng(30);
  for (KeyedBlitKernel kernel : {BlendBlit555, BlendBlit565, BlendBlit24, BlendBlit32,
                                 BlendBlit555Mmx, BlendBlit565Mmx, BlendBlit32Mmx}) {
    const int bytes = kernel == BlendBlit24 ? 3 : (kernel == BlendBlit32 ||
                                                   kernel == BlendBlit32Mmx) ? 4 : 2;
    Surface src(9, 3, bytes, 0, false), dst(9, 3, bytes, 0, false);
    Fill(src, rng, kCommon);
    Fill(dst, rng, kCommon);
    for (auto [outside, inside] : {std::pair<int, int>{300, 256}, {-5, 0}, {1 << 30, 256}}) {
      Surface a = dst, b = dst;
      kernel(a.base, a.pitch, 0, 0, 9, 3, src.base, src.pitch, 0, 0, 0, 0, 0, outside);
      kernel(b.base, b.pitch, 0, 0, 9, 3, src.base, src.pitch, 0, 0, 0, 0, 0, inside);
      EXPECT_EQ(a.memory, b.memory) << outside;
    }
  }
}

TEST(Blit, KeysAndMirrorEdgeCases) {
  Surface dst(3, 3, 2, 0, false), src(3, 3, 2, 0, false);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) src.Set(x, y, 0x100 + y * 3 + x), dst.Set(x, y, 7);
  // Both keys, destination never equal to its key: nothing, also for opaque pixels.
  const Surface before = dst;
  KeyedBlit16(dst.base, dst.pitch, 0, 0, 3, 3, src.base, src.pitch, 0, 0,
              BLIT_SRCKEY | BLIT_DSTKEY, 0x100, 8, 256);
  EXPECT_EQ(dst.memory, before.memory);
  // Width or height 0 writes nothing.
  for (auto kernel : {KeyedBlit16, KeyedBlit16Mmx, StippleBlit16, BlendBlit555Mmx}) {
    kernel(dst.base, dst.pitch, 0, 0, 0, 3, src.base, src.pitch, 0, 0, BLIT_MIRROR, 0, 0, 256);
    kernel(dst.base, dst.pitch, 0, 0, 3, 0, src.base, src.pitch, 0, 0, BLIT_FLIP, 0, 0, 256);
  }
  EXPECT_EQ(dst.memory, before.memory);
  // A mirrored 1-pixel-wide column equals the plain copy.
  KeyedBlit16(dst.base, dst.pitch, 1, 0, 1, 3, src.base, src.pitch, 2, 0, BLIT_MIRROR, 0, 0, 0);
  for (int y = 0; y < 3; ++y) EXPECT_EQ(dst.Get(1, y), src.Get(2, y));
}

TEST(Blit, ScaledTwoByTwo) {
  Surface src(2, 2, 4, 0, false), dst(4, 4, 4, 0, false);
  src.Set(0, 0, 1), src.Set(1, 0, 2), src.Set(0, 1, 3), src.Set(1, 1, 4);
  ScaledBlit32(dst.base, dst.pitch, 0, 0, 4, 4, src.base, src.pitch, 0, 0, 2, 2, 0, 0, 0, 256);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.Get(x, y), src.Get(x / 2, y / 2));
  Surface one(1, 1, 4, 0, false);
  ScaledBlit32(one.base, one.pitch, 0, 0, 1, 1, src.base, src.pitch, 0, 0, 2, 2, 0, 0, 0, 256);
  EXPECT_EQ(one.Get(0, 0), 1u);
  ScaledBlit32(one.base, one.pitch, 0, 0, 1, 1, src.base, src.pitch, 0, 0, 2, 2,
               BLIT_MIRROR | BLIT_FLIP, 0, 0, 256);
  EXPECT_EQ(one.Get(0, 0), 4u);
}
