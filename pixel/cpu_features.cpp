#include "pixel/cpu_features.h"

#include <cstdint>
#include <cstdlib>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

static std::uint32_t CpuidFeatureBits() {
#if defined(__i386__) || defined(__x86_64__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  // __get_cpuid first checks that the instruction exists (the EFLAGS ID bit on i386).
  if (__get_cpuid(1, &a, &b, &c, &d)) return d;
#endif
  return 0;
}

bool CpuHasMmx() {
  static const bool mmx = (CpuidFeatureBits() >> 23) & 1;
  return mmx;
}

bool CpuHasSse2() {
  static const bool sse2 = ((CpuidFeatureBits() >> 26) & 1) && !std::getenv("TW_NO_SIMD");
  return sse2;
}
