// Unaligned 4- and 8-byte moves, the adjustment step and prefetch addresses
// on 64-bit lanes, for the MMX and SSE kernels. Included only by kernel files,
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

// The adjustment lanes and the byte 128 that moves samples to and from a
// signed centre, loaded once per call.
struct MmxAdjustment {
  __m64 lumaOffset;
  __m64 lumaGain;
  __m64 chromaGain;
  __m64 centre;
};

inline MmxAdjustment LoadMmxAdjustment(const ColorAdjustment& adjust) {
  MmxAdjustment m;
  std::memcpy(&m.lumaOffset, adjust.lumaOffsetPacked, 8);
  std::memcpy(&m.lumaGain, adjust.lumaGainPacked, 8);
  std::memcpy(&m.chromaGain, adjust.chromaGainPacked, 8);
  m.centre = _mm_set1_pi8(static_cast<char>(0x80));
  return m;
}

// Eight bytes through the adjustment step: flip the top bit, widen to
// s * 256, multiply-high by the gain, add the offset, signed pack, flip back.
inline __m64 AdjustBytes(__m64 bytes, __m64 gain, __m64 offset, __m64 centre) {
  const __m64 zero = _mm_setzero_si64();
  const __m64 centred = _mm_xor_si64(bytes, centre);
  __m64 lo = _mm_mulhi_pi16(_mm_unpacklo_pi8(zero, centred), gain);
  __m64 hi = _mm_mulhi_pi16(_mm_unpackhi_pi8(zero, centred), gain);
  lo = _mm_add_pi16(lo, offset);
  hi = _mm_add_pi16(hi, offset);
  return _mm_xor_si64(_mm_packs_pi16(lo, hi), centre);
}

// Address `bytes` beyond p for a prefetch hint, which never faults; computed
// on integers because the address may lie outside every buffer.
inline const char* HintAddress(const void* p, size_t bytes) {
  return reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(p) + bytes);
}

}  // namespace
}  // namespace pellix
