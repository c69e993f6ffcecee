// The packed-integer operations of the wide kernels under one set of names,
// for 256-bit (AVX2) and 512-bit (AVX-512 F+BW+VL) registers, so that one
// kernel body serves both widths. Each width exists only in files compiled
// for it; everything here has internal linkage, so no kernel file can hand
// its copy to a caller compiled for another instruction set.
//
// Operations that work within 128-bit lanes (byte shuffles, packs,
// interleaves) keep the lane structure; the bodies put their results back
// in order with the whole-register permutes.
#pragma once

// GCC 12 reports the deliberately undefined register that some AVX-512
// intrinsics start from as uninitialised wherever they are inlined; the
// warning is about the compiler's own header, so it is silenced there.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>
#pragma GCC diagnostic pop

#include <cstdint>

// Kernel bodies are built from small functions on whole registers; a call
// between them would pass every register through memory.
#define PELLIX_WIDE_INLINE inline __attribute__((always_inline))

// The operations both widths spell alike but for the intrinsics' prefix P
// (_mm256 or _mm512).
#define PELLIX_WIDE_COMMON_OPERATIONS(P)                                         \
  static V ShuffleBytes(V v, V control) { return P##_shuffle_epi8(v, control); } \
  static V InterleaveLowDwords(V a, V b) { return P##_unpacklo_epi32(a, b); }    \
  static V InterleaveHighDwords(V a, V b) { return P##_unpackhi_epi32(a, b); }   \
  static V InterleaveLowQwords(V a, V b) { return P##_unpacklo_epi64(a, b); }    \
  static V InterleaveHighQwords(V a, V b) { return P##_unpackhi_epi64(a, b); }   \
  static V MulHigh(V a, V b) { return P##_mulhi_epi16(a, b); }                   \
  static V MulHighUnsigned(V a, V b) { return P##_mulhi_epu16(a, b); }           \
  static V MulAddWords(V a, V b) { return P##_madd_epi16(a, b); }                \
  static V AddWords(V a, V b) { return P##_add_epi16(a, b); }                    \
  static V SubWords(V a, V b) { return P##_sub_epi16(a, b); }                    \
  static V AddDwords(V a, V b) { return P##_add_epi32(a, b); }                   \
  static V PackWordsUnsigned(V a, V b) { return P##_packus_epi16(a, b); }        \
  static V AverageBytes(V a, V b) { return P##_avg_epu8(a, b); }                 \
  template <int n>                                                               \
  static V ShiftRightWords(V v) {                                                \
    return P##_srli_epi16(v, n);                                                 \
  }                                                                              \
  template <int n>                                                               \
  static V ShiftRightWordsSigned(V v) {                                          \
    return P##_srai_epi16(v, n);                                                 \
  }                                                                              \
  template <int n>                                                               \
  static V ShiftLeftWords(V v) {                                                 \
    return P##_slli_epi16(v, n);                                                 \
  }                                                                              \
  template <int n>                                                               \
  static V ShiftLeftDwords(V v) {                                                \
    return P##_slli_epi32(v, n);                                                 \
  }

namespace pellix {
namespace {

#if defined(__AVX2__)
struct Ymm {
  using V = __m256i;
  static constexpr int kBytes = 32;
  static constexpr int kLanes = 2;  // 128-bit lanes

  static V Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void Store(uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  // p must be a multiple of kBytes.
  static void StoreStreaming(uint8_t* p, V v) { _mm256_stream_si256(reinterpret_cast<__m256i*>(p), v); }
  static void StoreLowHalf(uint8_t* p, V v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
  }
  static void StoreHighHalf(uint8_t* p, V v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_extracti128_si256(v, 1));
  }

  static V Repeat32(int32_t x) { return _mm256_set1_epi32(x); }
  static V Repeat64(int64_t x) { return _mm256_set1_epi64x(x); }
  // The same 16 bytes in every lane.
  static V RepeatLane(const uint8_t* sixteen) {
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sixteen)));
  }
  static V FromDwords(const int32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

  PELLIX_WIDE_COMMON_OPERATIONS(_mm256)
  static V SwapDwordPairs(V v) { return _mm256_shuffle_epi32(v, 0xB1); }
  static V PermuteDwords(V v, V index) { return _mm256_permutevar8x32_epi32(v, index); }
  // Qwords 0, 2, 1, 3: the two lanes' low halves, then their high halves.
  static V GatherLaneHalves(V v) { return _mm256_permute4x64_epi64(v, 0xD8); }
  // Word i of each qword from b where bit i of kPattern is set.
  template <int kPattern>
  static V BlendWords(V a, V b) {
    return _mm256_blend_epi16(a, b, kPattern | kPattern << 4);
  }
  // The high word of each dword of a, then of b.
  static V HighWords(V a, V b) {
    return GatherLaneHalves(_mm256_packus_epi32(_mm256_srli_epi32(a, 16), _mm256_srli_epi32(b, 16)));
  }
  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  // (a & mask) | b.
  static V MaskOr(V a, V mask, V b) { return _mm256_or_si256(_mm256_and_si256(a, mask), b); }
};
#endif

#if defined(__AVX512F__) && defined(__AVX512BW__) && defined(__AVX512VL__)
struct Zmm {
  using V = __m512i;
  static constexpr int kBytes = 64;
  static constexpr int kLanes = 4;

  static V Load(const uint8_t* p) { return _mm512_loadu_si512(p); }
  static void Store(uint8_t* p, V v) { _mm512_storeu_si512(p, v); }
  static void StoreStreaming(uint8_t* p, V v) { _mm512_stream_si512(reinterpret_cast<__m512i*>(p), v); }
  static void StoreLowHalf(uint8_t* p, V v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm512_castsi512_si256(v));
  }
  static void StoreHighHalf(uint8_t* p, V v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm512_extracti64x4_epi64(v, 1));
  }

  static V Repeat32(int32_t x) { return _mm512_set1_epi32(x); }
  static V Repeat64(int64_t x) { return _mm512_set1_epi64(x); }
  static V RepeatLane(const uint8_t* sixteen) {
    return _mm512_broadcast_i32x4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sixteen)));
  }
  static V FromDwords(const int32_t* p) { return _mm512_loadu_si512(p); }
  static V FromWords(const int16_t* p) { return _mm512_loadu_si512(p); }

  PELLIX_WIDE_COMMON_OPERATIONS(_mm512)
  static V SwapDwordPairs(V v) { return _mm512_shuffle_epi32(v, _MM_PERM_CDAB); }
  static V PermuteDwords(V v, V index) { return _mm512_permutexvar_epi32(index, v); }
  static V PermuteWords(V v, V index) { return _mm512_permutexvar_epi16(index, v); }
  template <int kPattern>
  static V BlendWords(V a, V b) {
    return _mm512_mask_blend_epi16(static_cast<__mmask32>(0x11111111u * kPattern), a, b);
  }
  static V HighWords(V a, V b) {
    static constexpr int16_t kOdd[32] = {1,  3,  5,  7,  9,  11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31,
                                         33, 35, 37, 39, 41, 43, 45, 47, 49, 51, 53, 55, 57, 59, 61, 63};
    return _mm512_permutex2var_epi16(a, FromWords(kOdd), b);
  }
  static V And(V a, V b) { return _mm512_and_si512(a, b); }
  // (a & mask) | b in one instruction: 0xEA is the truth table of that.
  static V MaskOr(V a, V mask, V b) { return _mm512_ternarylogic_epi32(a, mask, b, 0xEA); }
};
#endif

}  // namespace
}  // namespace pellix

#undef PELLIX_WIDE_COMMON_OPERATIONS
