// Rectangle-copy kernels: a source rectangle onto a destination of the same depth, with
// colour keys, mirroring, flipping, stipple, translucency, an 8-bit alpha mask, or scaling.
//
// Callers clip: every kernel assumes both rectangles lie inside their images (and the mask
// has the source's size) and never fails. Pitches are in bytes and may be negative.
//
// Common walk: the destination pixel of row r, column c is at
// dst + (dy + r) * dstPitch + (dx + c) * bytesPerPixel, always left to right, top to
// bottom. The source starts at column sx (sx + width - 1 with BLIT_MIRROR, then moving
// left) and row sy (sy + height - 1 with BLIT_FLIP, then moving up). A mask is read at the
// source position. Keys are raw pixel values of the image's type (8- and 16-bit keys are
// compared in the pixel's width, 24-bit keys on their three low bytes in memory order);
// with BLIT_SRCKEY a source pixel equal to srcKey is skipped, with BLIT_DSTKEY a pixel is
// written only where the destination equals dstKey; key tests come before any effect.
// level runs 0..256 (256 opaque); the blends take a level outside that range as the
// nearer end.
//
// Stipple pattern: pixel (dx + c, dy + r) is drawn when (level >> 2) >= DitherMatrix8 at
// [(dy + r) & 7][(dx + c) & 7], so the pattern is fixed to the destination surface.
//
// The "Mmx" kernels are the variants the processor-dependent table picks. Their results
// are stated per kernel below; they use SSE2 when the processor reports it and portable
// code otherwise, with identical results either way.
#pragma once

#include <cstdint>

enum BlitFlags : std::uint32_t {
  BLIT_SRCKEY = 0x001,      // skip source pixels equal to the source key
  BLIT_DSTKEY = 0x002,      // write only where the destination equals the destination key
  BLIT_MIRROR = 0x004,      // source columns right to left
  BLIT_FLIP = 0x008,        // source rows bottom to top
  BLIT_STIPPLE = 0x010,     // screen door by level
  BLIT_BLEND = 0x020,       // constant translucency by level
  BLIT_MASKBLEND = 0x080,   // per-pixel alpha from an 8-bit mask
  BLIT_MASKDITHER = 0x100,  // per-pixel alpha from the mask, drawn as a screen door
};

constexpr std::int32_t kBlitOpaque = 256;

// Plain copies.
using CopyBlitKernel = void (*)(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx,
                                std::int32_t dy, std::int32_t width, std::int32_t height,
                                const std::uint8_t* src, std::int32_t srcPitch,
                                std::int32_t sx, std::int32_t sy);
// Keyed, stipple and blend kernels.
using KeyedBlitKernel = void (*)(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx,
                                 std::int32_t dy, std::int32_t width, std::int32_t height,
                                 const std::uint8_t* src, std::int32_t srcPitch,
                                 std::int32_t sx, std::int32_t sy, std::uint32_t flags,
                                 std::uint32_t srcKey, std::uint32_t dstKey,
                                 std::int32_t level);
// Mask blend and mask dither kernels; keys are ignored.
using MaskBlitKernel = void (*)(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx,
                                std::int32_t dy, std::int32_t width, std::int32_t height,
                                const std::uint8_t* src, std::int32_t srcPitch,
                                std::int32_t sx, std::int32_t sy, const std::uint8_t* mask,
                                std::int32_t maskPitch, std::uint32_t flags);
// Nearest-neighbour scaling: width x height destination pixels from srcWidth x srcHeight.
using ScaledBlitKernel = void (*)(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx,
                                  std::int32_t dy, std::int32_t width, std::int32_t height,
                                  const std::uint8_t* src, std::int32_t srcPitch,
                                  std::int32_t sx, std::int32_t sy, std::int32_t srcWidth,
                                  std::int32_t srcHeight, std::uint32_t flags,
                                  std::uint32_t srcKey, std::uint32_t dstKey,
                                  std::int32_t level);
using ScaledMaskBlitKernel = void (*)(std::uint8_t* dst, std::int32_t dstPitch,
                                      std::int32_t dx, std::int32_t dy, std::int32_t width,
                                      std::int32_t height, const std::uint8_t* src,
                                      std::int32_t srcPitch, std::int32_t sx,
                                      std::int32_t sy, std::int32_t srcWidth,
                                      std::int32_t srcHeight, const std::uint8_t* mask,
                                      std::int32_t maskPitch, std::uint32_t flags);

#define TW_COPY_BLIT(name)                                                                 \
  void name(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx, std::int32_t dy,    \
            std::int32_t width, std::int32_t height, const std::uint8_t* src,              \
            std::int32_t srcPitch, std::int32_t sx, std::int32_t sy)
#define TW_KEYED_BLIT(name)                                                                \
  void name(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx, std::int32_t dy,    \
            std::int32_t width, std::int32_t height, const std::uint8_t* src,              \
            std::int32_t srcPitch, std::int32_t sx, std::int32_t sy, std::uint32_t flags,  \
            std::uint32_t srcKey, std::uint32_t dstKey, std::int32_t level)
#define TW_MASK_BLIT(name)                                                                 \
  void name(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx, std::int32_t dy,    \
            std::int32_t width, std::int32_t height, const std::uint8_t* src,              \
            std::int32_t srcPitch, std::int32_t sx, std::int32_t sy,                       \
            const std::uint8_t* mask, std::int32_t maskPitch, std::uint32_t flags)
#define TW_SCALED_BLIT(name)                                                               \
  void name(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx, std::int32_t dy,    \
            std::int32_t width, std::int32_t height, const std::uint8_t* src,              \
            std::int32_t srcPitch, std::int32_t sx, std::int32_t sy,                       \
            std::int32_t srcWidth, std::int32_t srcHeight, std::uint32_t flags,            \
            std::uint32_t srcKey, std::uint32_t dstKey, std::int32_t level)
#define TW_SCALED_MASK_BLIT(name)                                                          \
  void name(std::uint8_t* dst, std::int32_t dstPitch, std::int32_t dx, std::int32_t dy,    \
            std::int32_t width, std::int32_t height, const std::uint8_t* src,              \
            std::int32_t srcPitch, std::int32_t sx, std::int32_t sy,                       \
            std::int32_t srcWidth, std::int32_t srcHeight, const std::uint8_t* mask,       \
            std::int32_t maskPitch, std::uint32_t flags)

// Row copies (no flags).
TW_COPY_BLIT(CopyBlit8);
TW_COPY_BLIT(CopyBlit16);

// Keyed copies: keys, mirror and flip. With no flags they copy.
TW_KEYED_BLIT(KeyedBlit8);
TW_KEYED_BLIT(KeyedBlit16);
TW_KEYED_BLIT(KeyedBlit24);
TW_KEYED_BLIT(KeyedBlit32);
TW_KEYED_BLIT(KeyedBlit8Mmx);   // results of KeyedBlit8
TW_KEYED_BLIT(KeyedBlit16Mmx);  // results of KeyedBlit16

// The keyed copy where the stipple pattern for level is set (8 bits: also for BLIT_BLEND).
TW_KEYED_BLIT(StippleBlit8);
TW_KEYED_BLIT(StippleBlit16);
TW_KEYED_BLIT(StippleBlit24);
TW_KEYED_BLIT(StippleBlit32);
TW_KEYED_BLIT(StippleBlit8Mmx);  // results of StippleBlit8

// Table blends, after the key tests: ws = level >> 3, wd = (256 - level) >> 3.
//   555: each 5-bit channel (ws * s + wd * d) >> 5.
//   565: red and blue the same, green on its top five bits and stored with bit 5 clear.
//   24/32: each byte (ws * (s >> 3) + wd * (d >> 3)) >> 2; the fourth byte of 32 becomes 0.
TW_KEYED_BLIT(BlendBlit555);
TW_KEYED_BLIT(BlendBlit565);
TW_KEYED_BLIT(BlendBlit24);
TW_KEYED_BLIT(BlendBlit32);
// Full-level blends, after the key tests: 16 bits per 5-bit channel
// (level * s + (256 - level) * d) >> 8 (565 green on its top five bits, bit 5 clear);
// 32 bits the same per byte, all four bytes.
TW_KEYED_BLIT(BlendBlit555Mmx);
TW_KEYED_BLIT(BlendBlit565Mmx);
TW_KEYED_BLIT(BlendBlit32Mmx);

// Table mask blends: a = 0 nothing, a = 255 the source pixel whole, otherwise the table
// blend above with ws = a >> 3, wd = (255 - a) >> 3.
TW_MASK_BLIT(MaskBlendBlit555);
TW_MASK_BLIT(MaskBlendBlit565);
TW_MASK_BLIT(MaskBlendBlit24);
TW_MASK_BLIT(MaskBlendBlit32);
// 16-bit full-level mask blends, no special values: the pixels from dx up to the next
// multiple of 4 and the last (width - head) % 4 of a row use the table blend with
// ws = a >> 3, wd = (256 - a) >> 3; the groups of four between them use
// (a * s + (256 - a) * d) >> 8 per 5-bit channel.
TW_MASK_BLIT(MaskBlendBlit555Mmx);
TW_MASK_BLIT(MaskBlendBlit565Mmx);
// a = 0 nothing, otherwise per byte (all four) (a * s + (256 - a) * d) >> 8.
TW_MASK_BLIT(MaskBlendBlit32Mmx);

// Screen door by alpha: the source pixel is written when a > 3 and
// a / 4 + 1 >= DitherMatrix8[(dy + r) & 7][(dx + c) & 7].
TW_MASK_BLIT(MaskDitherBlit8);
TW_MASK_BLIT(MaskDitherBlit16);
TW_MASK_BLIT(MaskDitherBlit24);
TW_MASK_BLIT(MaskDitherBlit32);

// Scaled: source column floor(c * srcWidth / width), row floor(r * srcHeight / height),
// counted from the mirrored / flipped start; keys as above. The effect kernels apply the
// stipple pattern (for BLIT_STIPPLE and BLIT_BLEND alike). They never blend.
TW_SCALED_BLIT(ScaledBlit8);
TW_SCALED_BLIT(ScaledBlit16);
TW_SCALED_BLIT(ScaledBlit24);
TW_SCALED_BLIT(ScaledBlit32);
TW_SCALED_BLIT(ScaledEffectBlit8);
TW_SCALED_BLIT(ScaledEffectBlit16);
TW_SCALED_BLIT(ScaledEffectBlit24);
TW_SCALED_BLIT(ScaledEffectBlit32);
// The table mask blend of MaskBlendBlit555 / 565 with the mask read at the source position.
TW_SCALED_MASK_BLIT(ScaledMaskBlit555);
TW_SCALED_MASK_BLIT(ScaledMaskBlit565);
