#include "pixel/cpu_features.h"

#include <cstdint>
#include <cstdlib>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace {

struct CpuidBits {
  std::uint32_t ecx = 0, edx = 0;
};

CpuidBits CpuidFeatureBits() {
  CpuidBits bits;
#if defined(__i386__) || defined(__x86_64__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  // __get_cpuid first checks that the instruction exists (the EFLAGS ID bit on i386).
  if (__get_cpuid(1, &a, &b, &c, &d)) bits = {c, d};
#endif
  return bits;
}

}  // namespace

bool CpuHasMmx() {
  static const bool mmx = (CpuidFeatureBits().edx >> 23) & 1;
  return mmx;
}

bool CpuHasSse2() {
  static const bool sse2 = ((CpuidFeatureBits().edx >> 26) & 1) && !std::getenv("TW_NO_SIMD");
  return sse2;
}

bool CpuHasSsse3() {
  static const bool ssse3 = CpuHasSse2() && ((CpuidFeatureBits().ecx >> 9) & 1);
  return ssse3;
}
