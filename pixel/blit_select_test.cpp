#include "pixel/blit_select.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pixel/pixel_format.h"

static std::string Pick(std::uint16_t type, std::uint32_t flags, bool mmx, bool scaled = false,
                        bool maskReady = true) {
  const BlitKernel k = SelectBlitKernel({type, flags, mmx, scaled, maskReady});
  return k.name;
}

TEST(BlitSelect, EightBits) {
  for (std::uint16_t type : {4, 6}) {
    EXPECT_EQ(Pick(type, 0, false), "CopyBlit8");
    EXPECT_EQ(Pick(type, 0, true), "KeyedBlit8Mmx");
    EXPECT_EQ(Pick(type, BLIT_SRCKEY, false), "KeyedBlit8");
    EXPECT_EQ(Pick(type, BLIT_SRCKEY, true), "KeyedBlit8Mmx");
    EXPECT_EQ(Pick(type, BLIT_SRCKEY | BLIT_MIRROR, true), "KeyedBlit8");
    EXPECT_EQ(Pick(type, BLIT_MIRROR, true), "KeyedBlit8");
    EXPECT_EQ(Pick(type, BLIT_FLIP | 0x40, true), "KeyedBlit8Mmx");  // unknown bits: "other"
    EXPECT_EQ(Pick(type, BLIT_STIPPLE, false), "StippleBlit8");
    EXPECT_EQ(Pick(type, BLIT_BLEND, true), "StippleBlit8Mmx");
    EXPECT_EQ(Pick(type, BLIT_BLEND | BLIT_MIRROR, true), "StippleBlit8");
    EXPECT_EQ(Pick(type, BLIT_MASKBLEND, true), "MaskDitherBlit8");
    EXPECT_EQ(Pick(type, BLIT_MASKDITHER | BLIT_STIPPLE, false), "MaskDitherBlit8");
    EXPECT_EQ(Pick(type, BLIT_MASKBLEND, true, false, false), "none");
  }
}

TEST(BlitSelect, SixteenBits) {
  EXPECT_EQ(Pick(7, BLIT_MASKBLEND, false), "MaskBlendBlit555");
  EXPECT_EQ(Pick(8, BLIT_MASKBLEND | BLIT_MIRROR, true), "MaskBlendBlit555Mmx");
  EXPECT_EQ(Pick(9, BLIT_MASKBLEND, false), "MaskBlendBlit565");
  EXPECT_EQ(Pick(10, BLIT_MASKBLEND | BLIT_MASKDITHER, true), "MaskBlendBlit565Mmx");
  EXPECT_EQ(Pick(9, BLIT_MASKBLEND, true, false, false), "none");
  EXPECT_EQ(Pick(7, BLIT_MASKDITHER, true), "MaskDitherBlit16");
  EXPECT_EQ(Pick(7, BLIT_MASKDITHER, false, false, false), "none");
  EXPECT_EQ(Pick(9, BLIT_STIPPLE | BLIT_BLEND, true), "StippleBlit16");  // stipple first
  EXPECT_EQ(Pick(7, BLIT_BLEND, false), "BlendBlit555");
  EXPECT_EQ(Pick(8, BLIT_BLEND, true), "BlendBlit555Mmx");
  EXPECT_EQ(Pick(10, BLIT_BLEND | BLIT_MIRROR, true), "BlendBlit565Mmx");  // blends ignore mirror
  EXPECT_EQ(Pick(9, 0, false), "CopyBlit16");
  EXPECT_EQ(Pick(9, 0, true), "KeyedBlit16Mmx");
  EXPECT_EQ(Pick(7, BLIT_DSTKEY, false), "KeyedBlit16");
  EXPECT_EQ(Pick(7, BLIT_DSTKEY | BLIT_FLIP, true), "KeyedBlit16Mmx");
  EXPECT_EQ(Pick(7, BLIT_MIRROR, true), "KeyedBlit16");
}

TEST(BlitSelect, TwentyFourAndThirtyTwoBits) {
  for (bool mmx : {false, true}) {
    EXPECT_EQ(Pick(11, BLIT_MASKBLEND | BLIT_MASKDITHER, mmx), "MaskBlendBlit24");
    EXPECT_EQ(Pick(12, BLIT_MASKDITHER, mmx), "MaskDitherBlit24");
    EXPECT_EQ(Pick(11, BLIT_STIPPLE | BLIT_BLEND, mmx), "BlendBlit24");  // blend first here
    EXPECT_EQ(Pick(11, BLIT_STIPPLE, mmx), "StippleBlit24");
    EXPECT_EQ(Pick(12, 0, mmx), "KeyedBlit24");
    EXPECT_EQ(Pick(11, BLIT_SRCKEY | BLIT_MIRROR, mmx), "KeyedBlit24");
    EXPECT_EQ(Pick(13, BLIT_MASKDITHER, mmx), "MaskDitherBlit32");
    EXPECT_EQ(Pick(14, BLIT_STIPPLE, mmx), "StippleBlit32");
    EXPECT_EQ(Pick(13, 0, mmx), "KeyedBlit32");
    EXPECT_EQ(Pick(14, BLIT_MASKBLEND, mmx, false, false), "none");
  }
  EXPECT_EQ(Pick(13, BLIT_MASKBLEND, false), "MaskBlendBlit32");
  EXPECT_EQ(Pick(13, BLIT_MASKBLEND | BLIT_MIRROR, true), "MaskBlendBlit32Mmx");
  EXPECT_EQ(Pick(14, BLIT_BLEND | BLIT_STIPPLE, false), "BlendBlit32");
  EXPECT_EQ(Pick(14, BLIT_BLEND | BLIT_MIRROR, true), "BlendBlit32Mmx");
}

TEST(BlitSelect, ScaledAndUndrawableDepths) {
  EXPECT_EQ(Pick(4, BLIT_STIPPLE, true, true), "ScaledEffectBlit8");
  EXPECT_EQ(Pick(4, BLIT_BLEND, false, true), "ScaledEffectBlit8");
  EXPECT_EQ(Pick(4, BLIT_MASKBLEND, false, true), "ScaledBlit8");
  EXPECT_EQ(Pick(6, 0, true, true), "ScaledBlit8");
  EXPECT_EQ(Pick(7, BLIT_MASKBLEND, false, true), "ScaledMaskBlit555");
  EXPECT_EQ(Pick(10, BLIT_MASKBLEND | BLIT_BLEND, true, true), "ScaledMaskBlit565");
  EXPECT_EQ(Pick(9, BLIT_MASKBLEND, false, true, false), "ScaledBlit16");
  EXPECT_EQ(Pick(9, BLIT_MASKBLEND | BLIT_STIPPLE, false, true, false), "ScaledEffectBlit16");
  EXPECT_EQ(Pick(8, BLIT_MASKDITHER, false, true), "ScaledBlit16");
  EXPECT_EQ(Pick(11, BLIT_BLEND, false, true), "ScaledEffectBlit24");
  EXPECT_EQ(Pick(12, BLIT_MASKBLEND, false, true), "ScaledBlit24");
  EXPECT_EQ(Pick(13, BLIT_STIPPLE, true, true), "ScaledEffectBlit32");
  EXPECT_EQ(Pick(14, BLIT_SRCKEY, true, true), "ScaledBlit32");
  for (std::uint16_t type : {0, 1, 2, 3, 5, 15, 0xffff}) {
    for (bool scaled : {false, true}) EXPECT_EQ(Pick(type, 0, true, scaled), "none") << type;
  }
}

// RunBlit hands every kind its own arguments: compare with direct calls.
TEST(BlitSelect, RunBlitPassesEachKindItsArguments) {
  std::mt19937 rng(4);
  std::vector<std::uint8_t> src(64 * 16 * 4), mask(64 * 16), a(64 * 16 * 4), b;
  for (auto& v : src) v = std::uint8_t(rng());
  for (auto& v : mask) v = std::uint8_t(rng());
  for (auto& v : a) v = std::uint8_t(rng());
  struct Case {
    BlitRequest request;
    std::int32_t srcWidth, srcHeight;
  };
  const Case cases[] = {
      {{9, 0, false, false, true}, 9, 5},
      {{7, BLIT_SRCKEY | BLIT_FLIP, true, false, true}, 9, 5},
      {{13, BLIT_MASKBLEND | BLIT_MIRROR, true, false, true}, 9, 5},
      {{4, BLIT_STIPPLE, false, true, true}, 20, 11},
      {{9, BLIT_MASKBLEND, false, true, true}, 3, 2},
  };
  for (const Case& c : cases) {
    const BlitKernel k = SelectBlitKernel(c.request);
    const int bytes = int(PixelDepth(c.request.type) / 8);
    const std::int32_t pitch = 64 * bytes;
    BlitOperands o{nullptr, pitch, 3, 2, 9, 5, src.data(), pitch, 1, 4, c.srcWidth,
                   c.srcHeight, c.request.flags, 0x3412, 0x5678, 100, mask.data(), 64};
    b = a;
    o.dst = b.data();
    RunBlit(k, o);
    std::vector<std::uint8_t> direct = a;
    std::uint8_t* d = direct.data();
    switch (k.kind) {
      case BLIT_KERNEL_COPY: k.copy(d, pitch, 3, 2, 9, 5, src.data(), pitch, 1, 4); break;
      case BLIT_KERNEL_KEYED:
        k.keyed(d, pitch, 3, 2, 9, 5, src.data(), pitch, 1, 4, o.flags, 0x3412, 0x5678, 100);
        break;
      case BLIT_KERNEL_MASK:
        k.mask(d, pitch, 3, 2, 9, 5, src.data(), pitch, 1, 4, mask.data(), 64, o.flags);
        break;
      case BLIT_KERNEL_SCALED:
        k.scaled(d, pitch, 3, 2, 9, 5, src.data(), pitch, 1, 4, c.srcWidth, c.srcHeight,
                 o.flags, 0x3412, 0x5678, 100);
        break;
      case BLIT_KERNEL_SCALED_MASK:
        k.scaledMask(d, pitch, 3, 2, 9, 5, src.data(), pitch, 1, 4, c.srcWidth, c.srcHeight,
                     mask.data(), 64, o.flags);
        break;
      default: FAIL() << k.name;
    }
    EXPECT_EQ(b, direct) << k.name;
    EXPECT_NE(b, a) << k.name;  // something was drawn
  }
  b = a;
  BlitOperands none{b.data(), 64, 0, 0, 4, 4, src.data(), 64, 0, 0, 4, 4, 0, 0, 0, 0,
                    nullptr, 0};
  RunBlit(SelectBlitKernel({4, BLIT_MASKBLEND, true, false, false}), none);
  EXPECT_EQ(b, a);
}
