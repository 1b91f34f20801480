// The two implementations behind each "Mmx" blit kernel, for the kernels' own dispatch and
// for tests that compare them: the SSE2 code (run only when CpuHasSse2() holds) and the
// portable code with the same results.
#pragma once

#include "pixel/blit.h"
#include "pixel/simd_entry.h"

TW_KEYED_BLIT(BlendBlit555MmxPortable);
TW_KEYED_BLIT(BlendBlit565MmxPortable);
TW_KEYED_BLIT(BlendBlit32MmxPortable);
TW_MASK_BLIT(MaskBlendBlit555MmxPortable);
TW_MASK_BLIT(MaskBlendBlit565MmxPortable);
TW_MASK_BLIT(MaskBlendBlit32MmxPortable);

// SSE2 forms. The keyed and stipple ones accept no BLIT_MIRROR (their callers take the
// portable kernel for mirrored blits); the blend ones accept every flag.
TW_SIMD_ENTRY TW_KEYED_BLIT(KeyedBlit8Sse2);
TW_SIMD_ENTRY TW_KEYED_BLIT(KeyedBlit16Sse2);
TW_SIMD_ENTRY TW_KEYED_BLIT(StippleBlit8Sse2);
TW_SIMD_ENTRY TW_KEYED_BLIT(BlendBlit555Sse2);
TW_SIMD_ENTRY TW_KEYED_BLIT(BlendBlit565Sse2);
TW_SIMD_ENTRY TW_KEYED_BLIT(BlendBlit32Sse2);
TW_SIMD_ENTRY TW_MASK_BLIT(MaskBlendBlit555Sse2);
TW_SIMD_ENTRY TW_MASK_BLIT(MaskBlendBlit565Sse2);
TW_SIMD_ENTRY TW_MASK_BLIT(MaskBlendBlit32Sse2);
