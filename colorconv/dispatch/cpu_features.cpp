#include "colorconv/dispatch/cpu_features.h"

#include <cpuid.h>

namespace pellix {
namespace {

// XGETBV faults where OSXSAVE is clear, so it is only reached behind that
// bit. Written as its encoding so that no target flag is needed.
uint64_t ReadXcr0() {
  uint32_t low = 0, high = 0;
  __asm__ __volatile__(".byte 0x0f, 0x01, 0xd0" : "=a"(low), "=d"(high) : "c"(0));
  return (uint64_t{high} << 32) | low;
}

}  // namespace

CpuFeatures ReadCpuFeatures() {
  CpuFeatures f;
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(1, &a, &b, &c, &d) == 0) return f;
  f.leaf1Edx = d;
  f.leaf1Ecx = c;
  if (__get_cpuid_max(0, nullptr) >= 7) {
    __cpuid_count(7, 0, a, b, c, d);
    f.leaf7Ebx = b;
  }
  if (f.leaf1Ecx & CpuBit::OSXSAVE) f.osSavedState = ReadXcr0();
  return f;
}

}  // namespace pellix
