// The 512-bit instruction-set policy (AVX-512 F and BW) of the wide
// YUV-to-BGRA bodies; the same operations as Lanes256 on four 128-bit lanes.
// Included only by kernel files, so it has internal linkage.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace pellix {
namespace {

struct Lanes512 {
  using V = __m512i;
  static constexpr int32_t kBytes = 64;
  // Full masks: GCC 12 warns about the undefined vector that the unmasked
  // forms of broadcast and permute pass to their builtins.
  static constexpr __mmask16 kAll32 = 0xFFFF;
  static constexpr __mmask8 kAll64 = 0xFF;

  static V Load(const uint8_t* p) { return _mm512_loadu_si512(p); }
  // kBytes / 2 bytes, zero-extended to words.
  static V LoadWidened(const uint8_t* p) {
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
  static void Store(uint8_t* p, V v) { _mm512_storeu_si512(p, v); }
  static void Stream(uint8_t* p, V v) { _mm512_stream_si512(reinterpret_cast<__m512i*>(p), v); }

  static V Zero() { return _mm512_setzero_si512(); }
  static V Bytes(uint8_t b) { return _mm512_set1_epi8(static_cast<char>(b)); }
  static V Words(int16_t w) { return _mm512_set1_epi16(w); }
  // Every dword holds the word pair (even, odd).
  static V WordPairs(int16_t even, int16_t odd) {
    return _mm512_set1_epi32(
        static_cast<int32_t>(static_cast<uint16_t>(even) | (uint32_t{static_cast<uint16_t>(odd)} << 16)));
  }
  // The same 16-byte shuffle control in every 128-bit lane.
  static V LaneBytes(const int8_t (&b)[16]) {
    return _mm512_maskz_broadcast_i32x4(kAll32, _mm_loadu_si128(reinterpret_cast<const __m128i*>(b)));
  }

  static V Xor(V a, V b) { return _mm512_xor_si512(a, b); }
  static V And(V a, V b) { return _mm512_and_si512(a, b); }
  static V MinU8(V a, V b) { return _mm512_min_epu8(a, b); }
  static V MaxU8(V a, V b) { return _mm512_max_epu8(a, b); }
  static V Sub8(V a, V b) { return _mm512_sub_epi8(a, b); }
  static V SubsU8(V a, V b) { return _mm512_subs_epu8(a, b); }
  static V Add16(V a, V b) { return _mm512_add_epi16(a, b); }
  static V Adds16(V a, V b) { return _mm512_adds_epi16(a, b); }
  static V Sub16(V a, V b) { return _mm512_sub_epi16(a, b); }
  static V Min16(V a, V b) { return _mm512_min_epi16(a, b); }
  static V Max16(V a, V b) { return _mm512_max_epi16(a, b); }
  template <int n>
  static V Slli16(V a) {
    return _mm512_slli_epi16(a, n);
  }
  template <int n>
  static V Srli16(V a) {
    return _mm512_srli_epi16(a, n);
  }
  template <int n>
  static V Srai16(V a) {
    return _mm512_srai_epi16(a, n);
  }
  static V MulHi16(V a, V b) { return _mm512_mulhi_epi16(a, b); }
  static V MulHiU16(V a, V b) { return _mm512_mulhi_epu16(a, b); }
  // Per word: unsignedBytes * signedBytes, the two byte products added.
  static V MulAddBytePairs(V unsignedBytes, V signedBytes) { return _mm512_maddubs_epi16(unsignedBytes, signedBytes); }
  static V MulHrs16(V a, V b) { return _mm512_mulhrs_epi16(a, b); }
  static V ShuffleBytes(V a, V control) { return _mm512_shuffle_epi8(a, control); }
  static V PackUS16(V a, V b) { return _mm512_packus_epi16(a, b); }
  static V PackS16(V a, V b) { return _mm512_packs_epi16(a, b); }
  static V UnpackLo8(V a, V b) { return _mm512_unpacklo_epi8(a, b); }
  static V UnpackHi8(V a, V b) { return _mm512_unpackhi_epi8(a, b); }
  static V UnpackLo16(V a, V b) { return _mm512_unpacklo_epi16(a, b); }
  static V UnpackHi16(V a, V b) { return _mm512_unpackhi_epi16(a, b); }

  // Block b (4 pixels) of a group goes to lane b % 4, in order; see Lanes256.
  static V DealDwords(V a) {
    return _mm512_maskz_permutexvar_epi32(kAll32,
                                          _mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15), a);
  }
  static V DealQwords(V a) {
    return _mm512_maskz_permutexvar_epi64(kAll64, _mm512_setr_epi64(0, 4, 1, 5, 2, 6, 3, 7), a);
  }

  static void Fence() { _mm_sfence(); }
};

}  // namespace
}  // namespace pellix
