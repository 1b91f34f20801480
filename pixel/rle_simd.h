// The two implementations behind AlphaRleBlit32Mmx, for its dispatch and for tests that
// compare them: the SSE2 code (run only when CpuHasSse2() holds) and the portable code
// with the same results.
#pragma once

#include "pixel/blit_simd.h"
#include "pixel/rle_blit.h"

TW_ALPHA_RLE_BLIT(AlphaRleBlit32MmxPortable);
TW_SIMD_ENTRY TW_ALPHA_RLE_BLIT(AlphaRleBlit32MmxSse2);
