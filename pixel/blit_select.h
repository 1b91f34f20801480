// Choosing the blit kernel for a DrawOnto call, written as data: tables of rows
// {depth, 5-5-5 / 5-6-5 layout, flags test, mask need, portable kernel, MMX kernel}, read
// in order, first match wins (blit_select.cpp).
//
// Unscaled (clipped source size equals destination size):
//   depth  flags (first matching row)      without MMX                 with MMX
//   8      MASKBLEND or MASKDITHER, mask   MaskDitherBlit8             same
//   8      STIPPLE or BLEND                StippleBlit8                StippleBlit8Mmx *
//   8      none                            CopyBlit8                   KeyedBlit8Mmx *
//   8      any other                       KeyedBlit8                  KeyedBlit8Mmx *
//   16     MASKBLEND, mask                 MaskBlendBlit555/565        MaskBlendBlit555/565Mmx
//   16     MASKDITHER, mask                MaskDitherBlit16            same
//   16     STIPPLE                         StippleBlit16               same
//   16     BLEND                           BlendBlit555/565            BlendBlit555/565Mmx
//   16     none                            CopyBlit16                  KeyedBlit16Mmx *
//   16     any other                       KeyedBlit16                 KeyedBlit16Mmx *
//   24     MASKBLEND / MASKDITHER (mask) / BLEND / STIPPLE / other:
//          MaskBlendBlit24 / MaskDitherBlit24 / BlendBlit24 / StippleBlit24 / KeyedBlit24
//   32     MASKBLEND, mask                 MaskBlendBlit32             MaskBlendBlit32Mmx
//   32     MASKDITHER, mask                MaskDitherBlit32            same
//   32     BLEND                           BlendBlit32                 BlendBlit32Mmx
//   32     STIPPLE / other                 StippleBlit32 / KeyedBlit32 same
//   * the MMX column only when BLIT_MIRROR is clear.
// 555 means types 7 and 8, 565 types 9 and 10. A mask row whose mask is not ready (no aux
// image of type 4 that locked) draws nothing.
//
// Scaled: 8 bits ScaledEffectBlit8 with STIPPLE or BLEND, else ScaledBlit8; 16 bits
// ScaledMaskBlit555/565 with MASKBLEND and a ready mask, else ScaledEffectBlit16 with
// STIPPLE or BLEND, else ScaledBlit16; 24 and 32 bits likewise without the mask row.
// Depths other than 8, 16, 24 and 32 have no kernel.
#pragma once

#include <cstdint>

#include "pixel/blit.h"

enum BlitKernelKind : std::uint8_t {
  BLIT_KERNEL_NONE,         // nothing is drawn
  BLIT_KERNEL_COPY,         // CopyBlitKernel
  BLIT_KERNEL_KEYED,        // KeyedBlitKernel (keyed, stipple, blend)
  BLIT_KERNEL_MASK,         // MaskBlitKernel
  BLIT_KERNEL_SCALED,       // ScaledBlitKernel
  BLIT_KERNEL_SCALED_MASK,  // ScaledMaskBlitKernel
};

// One chosen kernel: its kind says which pointer is set.
struct BlitKernel {
  BlitKernelKind kind;
  const char* name;  // the kernel's name, for tests and diagnostics
  CopyBlitKernel copy;
  KeyedBlitKernel keyed;
  MaskBlitKernel mask;
  ScaledBlitKernel scaled;
  ScaledMaskBlitKernel scaledMask;

  bool UsesMask() const { return kind == BLIT_KERNEL_MASK || kind == BLIT_KERNEL_SCALED_MASK; }
};

struct BlitRequest {
  std::uint16_t type;   // pixel type of the source (equal in depth to the destination)
  std::uint32_t flags;  // BlitFlags
  bool mmx;             // the GraphicsSystem MMX flag
  bool scaled;          // clipped source size differs from the destination size
  bool maskReady;       // the aux image exists, has type 4 and is locked
};

BlitKernel SelectBlitKernel(const BlitRequest& request);

// Everything a kernel of any kind may take; each kind reads its own arguments.
struct BlitOperands {
  std::uint8_t* dst;
  std::int32_t dstPitch;
  std::int32_t dx, dy, width, height;  // destination rectangle (clipped)
  const std::uint8_t* src;
  std::int32_t srcPitch;
  std::int32_t sx, sy, srcWidth, srcHeight;  // source rectangle (size read when scaled)
  std::uint32_t flags;
  std::uint32_t srcKey, dstKey;
  std::int32_t level;
  const std::uint8_t* mask;
  std::int32_t maskPitch;
};

// Calls the kernel with the operands its kind takes; BLIT_KERNEL_NONE does nothing.
void RunBlit(const BlitKernel& kernel, const BlitOperands& operands);
