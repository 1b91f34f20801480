// Processor features, from CPUID function 1 (EDX bit 23 MMX, bit 26 SSE2; ECX bit 9
// SSSE3), tested once.
#pragma once

// CPUID reports MMX.
bool CpuHasMmx();

// CPUID reports SSE2 and the environment variable TW_NO_SIMD is not set. The "Mmx" blit
// kernels use their SSE2 code only when this holds and their portable code otherwise, so
// setting TW_NO_SIMD runs the portable code on any processor.
bool CpuHasSse2();

// CPUID reports SSSE3 (whose processors all have SSE2) and TW_NO_SIMD is not set.
bool CpuHasSsse3();
