// The 256-bit instruction-set policy of the wide YUV-to-BGRA bodies: the
// AVX2 kernels run on it, and the AVX-512 kernels use it for a last group
// of 32 pixels. Included only by kernel files, so it has internal linkage
// and each file compiles it for its own instruction set.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace pellix {
namespace {

struct Lanes256 {
  using V = __m256i;
  static constexpr int32_t kBytes = 32;

  static V Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  // kBytes / 2 bytes, zero-extended to words.
  static V LoadWidened(const uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static void Store(uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static void Stream(uint8_t* p, V v) { _mm256_stream_si256(reinterpret_cast<__m256i*>(p), v); }

  static V Zero() { return _mm256_setzero_si256(); }
  static V Bytes(uint8_t b) { return _mm256_set1_epi8(static_cast<char>(b)); }
  static V Words(int16_t w) { return _mm256_set1_epi16(w); }
  // Every dword holds the word pair (even, odd).
  static V WordPairs(int16_t even, int16_t odd) {
    return _mm256_set1_epi32(
        static_cast<int32_t>(static_cast<uint16_t>(even) | (uint32_t{static_cast<uint16_t>(odd)} << 16)));
  }
  // The same 16-byte shuffle control in every 128-bit lane.
  static V LaneBytes(const int8_t (&b)[16]) {
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b)));
  }

  static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  static V MinU8(V a, V b) { return _mm256_min_epu8(a, b); }
  static V MaxU8(V a, V b) { return _mm256_max_epu8(a, b); }
  static V Sub8(V a, V b) { return _mm256_sub_epi8(a, b); }
  static V SubsU8(V a, V b) { return _mm256_subs_epu8(a, b); }
  static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
  static V Adds16(V a, V b) { return _mm256_adds_epi16(a, b); }
  static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
  static V Min16(V a, V b) { return _mm256_min_epi16(a, b); }
  static V Max16(V a, V b) { return _mm256_max_epi16(a, b); }
  template <int n>
  static V Slli16(V a) {
    return _mm256_slli_epi16(a, n);
  }
  template <int n>
  static V Srli16(V a) {
    return _mm256_srli_epi16(a, n);
  }
  template <int n>
  static V Srai16(V a) {
    return _mm256_srai_epi16(a, n);
  }
  static V MulHi16(V a, V b) { return _mm256_mulhi_epi16(a, b); }
  static V MulHiU16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
  // Per word: unsignedBytes * signedBytes, the two byte products added.
  static V MulAddBytePairs(V unsignedBytes, V signedBytes) { return _mm256_maddubs_epi16(unsignedBytes, signedBytes); }
  static V MulHrs16(V a, V b) { return _mm256_mulhrs_epi16(a, b); }
  static V ShuffleBytes(V a, V control) { return _mm256_shuffle_epi8(a, control); }
  static V PackUS16(V a, V b) { return _mm256_packus_epi16(a, b); }
  static V PackS16(V a, V b) { return _mm256_packs_epi16(a, b); }
  static V UnpackLo8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
  static V UnpackHi8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
  static V UnpackLo16(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
  static V UnpackHi16(V a, V b) { return _mm256_unpackhi_epi16(a, b); }

  // The in-lane unpacks and packs keep each 128-bit lane's data apart, so
  // the inputs are dealt out over the lanes first: 4-pixel block b of a
  // group of kBytes pixels goes to lane b % 2, in order. A kernel's output
  // then leaves its lanes as whole runs of pixels.
  // Dwords of a vector of bytes (4 pixels) or of words (4 chroma pairs).
  static V DealDwords(V a) { return _mm256_permutevar8x32_epi32(a, _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7)); }
  // Qwords of a vector of 4:2:2 macropixels (4 pixels).
  static V DealQwords(V a) { return _mm256_permute4x64_epi64(a, 0xD8); }

  static void Fence() { _mm_sfence(); }
};

}  // namespace
}  // namespace pellix
