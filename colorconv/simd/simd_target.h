// Instruction sets a kernel may use, so that the variants also build where
// the compiler's baseline lacks them (32-bit x86). Each kernel names only
// the sets of the processors it is installed on.
#pragma once

#define PELLIX_TARGET_MMX __attribute__((target("mmx")))
#define PELLIX_TARGET_SSE __attribute__((target("mmx,sse")))
#define PELLIX_TARGET_SSE2 __attribute__((target("sse,sse2")))

#include <cstddef>
#include <cstdint>

namespace pellix {

// Address `bytes` beyond p for a prefetch hint, which never faults; computed
// on integers because the address may lie outside every buffer.
inline const char* HintAddress(const void* p, size_t bytes) {
  return reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(p) + bytes);
}

}  // namespace pellix
