#include "pixel/blit_select.h"

#include "pixel/pixel_format.h"

enum BlitRowLayout : std::uint8_t { LAYOUT_ANY, LAYOUT_555, LAYOUT_565 };
enum BlitRowMask : std::uint8_t {
  NO_MASK,          // the row needs no mask
  MASK_OR_NOTHING,  // without a ready mask the row draws nothing
  MASK_OR_NEXT,     // without a ready mask the row is passed over
};
constexpr std::uint32_t kNoFlags = 0;       // anyOf value of the "no flags at all" rows
constexpr std::uint32_t kAnyFlags = ~0u;    // anyOf value of the "anything else" rows

struct BlitRow {
  std::uint8_t depth;
  BlitRowLayout layout;
  std::uint32_t anyOf;  // applies when flags & anyOf != 0; see kNoFlags and kAnyFlags
  BlitRowMask mask;
  bool mmxUnlessMirrored;  // the MMX kernel is not used for mirrored blits
  BlitKernel portable;
  BlitKernel mmx;
};

static constexpr BlitKernel Copy(CopyBlitKernel k, const char* name) {
  return {BLIT_KERNEL_COPY, name, k, nullptr, nullptr, nullptr, nullptr};
}
static constexpr BlitKernel Keyed(KeyedBlitKernel k, const char* name) {
  return {BLIT_KERNEL_KEYED, name, nullptr, k, nullptr, nullptr, nullptr};
}
static constexpr BlitKernel Mask(MaskBlitKernel k, const char* name) {
  return {BLIT_KERNEL_MASK, name, nullptr, nullptr, k, nullptr, nullptr};
}
static constexpr BlitKernel Scaled(ScaledBlitKernel k, const char* name) {
  return {BLIT_KERNEL_SCALED, name, nullptr, nullptr, nullptr, k, nullptr};
}
static constexpr BlitKernel ScaledMask(ScaledMaskBlitKernel k, const char* name) {
  return {BLIT_KERNEL_SCALED_MASK, name, nullptr, nullptr, nullptr, nullptr, k};
}
static constexpr BlitKernel kNothing = {BLIT_KERNEL_NONE, "none", nullptr, nullptr, nullptr,
                                        nullptr, nullptr};

#define TW_K(kind, k) kind(k, #k)

constexpr std::uint32_t kMasks = BLIT_MASKBLEND | BLIT_MASKDITHER;
constexpr std::uint32_t kEffects = BLIT_STIPPLE | BLIT_BLEND;

static const BlitRow kUnscaledRows[] = {
    {8, LAYOUT_ANY, kMasks, MASK_OR_NOTHING, false,
     TW_K(Mask, MaskDitherBlit8), TW_K(Mask, MaskDitherBlit8)},
    {8, LAYOUT_ANY, kEffects, NO_MASK, true,
     TW_K(Keyed, StippleBlit8), TW_K(Keyed, StippleBlit8Mmx)},
    {8, LAYOUT_ANY, kNoFlags, NO_MASK, true, TW_K(Copy, CopyBlit8), TW_K(Keyed, KeyedBlit8Mmx)},
    {8, LAYOUT_ANY, kAnyFlags, NO_MASK, true, TW_K(Keyed, KeyedBlit8), TW_K(Keyed, KeyedBlit8Mmx)},

    {16, LAYOUT_555, BLIT_MASKBLEND, MASK_OR_NOTHING, false,
     TW_K(Mask, MaskBlendBlit555), TW_K(Mask, MaskBlendBlit555Mmx)},
    {16, LAYOUT_565, BLIT_MASKBLEND, MASK_OR_NOTHING, false,
     TW_K(Mask, MaskBlendBlit565), TW_K(Mask, MaskBlendBlit565Mmx)},
    {16, LAYOUT_ANY, BLIT_MASKDITHER, MASK_OR_NOTHING, false,
     TW_K(Mask, MaskDitherBlit16), TW_K(Mask, MaskDitherBlit16)},
    {16, LAYOUT_ANY, BLIT_STIPPLE, NO_MASK, false,
     TW_K(Keyed, StippleBlit16), TW_K(Keyed, StippleBlit16)},
    {16, LAYOUT_555, BLIT_BLEND, NO_MASK, false,
     TW_K(Keyed, BlendBlit555), TW_K(Keyed, BlendBlit555Mmx)},
    {16, LAYOUT_565, BLIT_BLEND, NO_MASK, false,
     TW_K(Keyed, BlendBlit565), TW_K(Keyed, BlendBlit565Mmx)},
    {16, LAYOUT_ANY, kNoFlags, NO_MASK, true, TW_K(Copy, CopyBlit16), TW_K(Keyed, KeyedBlit16Mmx)},
    {16, LAYOUT_ANY, kAnyFlags, NO_MASK, true,
     TW_K(Keyed, KeyedBlit16), TW_K(Keyed, KeyedBlit16Mmx)},

    {24, LAYOUT_ANY, BLIT_MASKBLEND, MASK_OR_NOTHING, false,
     TW_K(Mask, MaskBlendBlit24), TW_K(Mask, MaskBlendBlit24)},
    {24, LAYOUT_ANY, BLIT_MASKDITHER, MASK_OR_NOTHING, false,
     TW_K(Mask, MaskDitherBlit24), TW_K(Mask, MaskDitherBlit24)},
    {24, LAYOUT_ANY, BLIT_BLEND, NO_MASK, false,
     TW_K(Keyed, BlendBlit24), TW_K(Keyed, BlendBlit24)},
    {24, LAYOUT_ANY, BLIT_STIPPLE, NO_MASK, false,
     TW_K(Keyed, StippleBlit24), TW_K(Keyed, StippleBlit24)},
    {24, LAYOUT_ANY, kAnyFlags, NO_MASK, false, TW_K(Keyed, KeyedBlit24), TW_K(Keyed, KeyedBlit24)},

    {32, LAYOUT_ANY, BLIT_MASKBLEND, MASK_OR_NOTHING, false,
     TW_K(Mask, MaskBlendBlit32), TW_K(Mask, MaskBlendBlit32Mmx)},
    {32, LAYOUT_ANY, BLIT_MASKDITHER, MASK_OR_NOTHING, false,
     TW_K(Mask, MaskDitherBlit32), TW_K(Mask, MaskDitherBlit32)},
    {32, LAYOUT_ANY, BLIT_BLEND, NO_MASK, false,
     TW_K(Keyed, BlendBlit32), TW_K(Keyed, BlendBlit32Mmx)},
    {32, LAYOUT_ANY, BLIT_STIPPLE, NO_MASK, false,
     TW_K(Keyed, StippleBlit32), TW_K(Keyed, StippleBlit32)},
    {32, LAYOUT_ANY, kAnyFlags, NO_MASK, false, TW_K(Keyed, KeyedBlit32), TW_K(Keyed, KeyedBlit32)},
};

static const BlitRow kScaledRows[] = {
    {8, LAYOUT_ANY, kEffects, NO_MASK, false,
     TW_K(Scaled, ScaledEffectBlit8), TW_K(Scaled, ScaledEffectBlit8)},
    {8, LAYOUT_ANY, kAnyFlags, NO_MASK, false,
     TW_K(Scaled, ScaledBlit8), TW_K(Scaled, ScaledBlit8)},
    {16, LAYOUT_555, BLIT_MASKBLEND, MASK_OR_NEXT, false,
     TW_K(ScaledMask, ScaledMaskBlit555), TW_K(ScaledMask, ScaledMaskBlit555)},
    {16, LAYOUT_565, BLIT_MASKBLEND, MASK_OR_NEXT, false,
     TW_K(ScaledMask, ScaledMaskBlit565), TW_K(ScaledMask, ScaledMaskBlit565)},
    {16, LAYOUT_ANY, kEffects, NO_MASK, false,
     TW_K(Scaled, ScaledEffectBlit16), TW_K(Scaled, ScaledEffectBlit16)},
    {16, LAYOUT_ANY, kAnyFlags, NO_MASK, false,
     TW_K(Scaled, ScaledBlit16), TW_K(Scaled, ScaledBlit16)},
    {24, LAYOUT_ANY, kEffects, NO_MASK, false,
     TW_K(Scaled, ScaledEffectBlit24), TW_K(Scaled, ScaledEffectBlit24)},
    {24, LAYOUT_ANY, kAnyFlags, NO_MASK, false,
     TW_K(Scaled, ScaledBlit24), TW_K(Scaled, ScaledBlit24)},
    {32, LAYOUT_ANY, kEffects, NO_MASK, false,
     TW_K(Scaled, ScaledEffectBlit32), TW_K(Scaled, ScaledEffectBlit32)},
    {32, LAYOUT_ANY, kAnyFlags, NO_MASK, false,
     TW_K(Scaled, ScaledBlit32), TW_K(Scaled, ScaledBlit32)},
};

#undef TW_K

static bool RowMatches(const BlitRow& row, std::uint32_t depth, BlitRowLayout layout,
                       std::uint32_t flags) {
  if (row.depth != depth) return false;
  if (row.layout != LAYOUT_ANY && row.layout != layout) return false;
  if (row.anyOf == kNoFlags) return flags == 0;
  if (row.anyOf == kAnyFlags) return true;
  return (flags & row.anyOf) != 0;
}

template <std::size_t N>
static BlitKernel Choose(const BlitRow (&rows)[N], const BlitRequest& request) {
  const std::uint32_t depth = PixelDepth(request.type);
  const BlitRowLayout layout =
      depth != 16 ? LAYOUT_ANY : IsPixel565(request.type) ? LAYOUT_565 : LAYOUT_555;
  for (const BlitRow& row : rows) {
    if (!RowMatches(row, depth, layout, request.flags)) continue;
    if (row.mask == MASK_OR_NEXT && !request.maskReady) continue;
    if (row.mask == MASK_OR_NOTHING && !request.maskReady) return kNothing;
    const bool mirrored = (request.flags & BLIT_MIRROR) != 0;
    const bool useMmx = request.mmx && !(row.mmxUnlessMirrored && mirrored);
    return useMmx ? row.mmx : row.portable;
  }
  return kNothing;
}

BlitKernel SelectBlitKernel(const BlitRequest& request) {
  return request.scaled ? Choose(kScaledRows, request) : Choose(kUnscaledRows, request);
}

void RunBlit(const BlitKernel& k, const BlitOperands& o) {
  switch (k.kind) {
    case BLIT_KERNEL_COPY:
      k.copy(o.dst, o.dstPitch, o.dx, o.dy, o.width, o.height, o.src, o.srcPitch, o.sx, o.sy);
      break;
    case BLIT_KERNEL_KEYED:
      k.keyed(o.dst, o.dstPitch, o.dx, o.dy, o.width, o.height, o.src, o.srcPitch, o.sx, o.sy,
              o.flags, o.srcKey, o.dstKey, o.level);
      break;
    case BLIT_KERNEL_MASK:
      k.mask(o.dst, o.dstPitch, o.dx, o.dy, o.width, o.height, o.src, o.srcPitch, o.sx, o.sy,
             o.mask, o.maskPitch, o.flags);
      break;
    case BLIT_KERNEL_SCALED:
      k.scaled(o.dst, o.dstPitch, o.dx, o.dy, o.width, o.height, o.src, o.srcPitch, o.sx, o.sy,
               o.srcWidth, o.srcHeight, o.flags, o.srcKey, o.dstKey, o.level);
      break;
    case BLIT_KERNEL_SCALED_MASK:
      k.scaledMask(o.dst, o.dstPitch, o.dx, o.dy, o.width, o.height, o.src, o.srcPitch, o.sx,
                   o.sy, o.srcWidth, o.srcHeight, o.mask, o.maskPitch, o.flags);
      break;
    case BLIT_KERNEL_NONE:
      break;
  }
}
