// Unaligned 4- and 8-byte moves, the adjustment step's register and prefetch
// addresses on 64-bit lanes, for the MMX and SSE kernels. Included only by kernel files,
// each compiled for its own instruction set, so everything here has internal
// linkage: no kernel file can hand its copy of a helper to another.
// Loads go through memcpy so no pointer is dereferenced at an alignment its
// type does not have.
#pragma once

#include <mmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "colorconv/routines.h"
#include "colorconv/simd/adjustment_step.h"

namespace pellix {
namespace {

inline __m64 Load8(const void* p) {
  __m64 m;
  std::memcpy(&m, p, 8);
  return m;
}

inline void Store8(uint8_t* p, __m64 m) { std::memcpy(p, &m, 8); }

inline __m64 Load4(const uint8_t* p) {
  int32_t word;
  std::memcpy(&word, p, 4);
  return _mm_cvtsi32_si64(word);
}

inline void Store4(uint8_t* p, __m64 m) {
  const int32_t word = _mm_cvtsi64_si32(m);
  std::memcpy(p, &word, 4);
}

// The adjustment lanes, loaded once per call.
struct MmxAdjustment {
  __m64 lumaOffset;
  __m64 lumaGain;
  __m64 chromaGain;
};

inline MmxAdjustment LoadMmxAdjustment(const ColorAdjustment& adjust) {
  MmxAdjustment m;
  std::memcpy(&m.lumaOffset, adjust.lumaOffsetPacked, 8);
  std::memcpy(&m.lumaGain, adjust.lumaGainPacked, 8);
  std::memcpy(&m.chromaGain, adjust.chromaGainPacked, 8);
  return m;
}

// The 64-bit MMX register with the operations of the adjustment step
// (adjustment_step.h), under the names the wide registers give them.
struct Mm {
  using V = __m64;
  static V Zero() { return _mm_setzero_si64(); }
  static V Bytes(uint8_t b) { return _mm_set1_pi8(static_cast<char>(b)); }
  static V Xor(V a, V b) { return _mm_xor_si64(a, b); }
  static V AddWords(V a, V b) { return _mm_add_pi16(a, b); }
  static V MulHighWords(V a, V b) { return _mm_mulhi_pi16(a, b); }
  static V InterleaveLowBytes(V a, V b) { return _mm_unpacklo_pi8(a, b); }
  static V InterleaveHighBytes(V a, V b) { return _mm_unpackhi_pi8(a, b); }
  static V PackWordsSigned(V a, V b) { return _mm_packs_pi16(a, b); }
};

// Address `bytes` beyond p for a prefetch hint, which never faults; computed
// on integers because the address may lie outside every buffer.
inline const char* HintAddress(const void* p, size_t bytes) {
  return reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(p) + bytes);
}

}  // namespace
}  // namespace pellix
