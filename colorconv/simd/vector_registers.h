// The packed-integer operations of the wide kernels, one struct per register
// width (Xmm, Ymm, Zmm) with the same operations under the same names, so a
// kernel body, templated on the register struct (named Reg throughout), is
// written once and runs at every width it is given: the widest over most of
// a row, narrower ones over what is left of it.
//
// ShuffleBytes, the Interleave... operations, PackWordsSigned and
// PackWordsUnsigned work on each 128-bit lane apart, as the instructions
// do; the operations that cross lanes say in what order they leave the
// data.
//
// Included only by kernel files, each compiled for its own instruction set;
// a width exists only where the file's flags allow it (Xmm with SSE2, Ymm
// with AVX2, Zmm with AVX-512 F and BW). Everything here has internal linkage, so no kernel
// file can hand its copy of an operation to a caller built for another
// instruction set.
#pragma once

// GCC 12 reports the deliberately undefined register that many AVX-512
// intrinsics start from as uninitialised wherever they are inlined; the
// warning is about the compiler's own header, so it is silenced there, for
// the intrinsics that kernel files call directly. The operations below do
// not depend on that: where the plain form of an AVX-512 intrinsic has such
// an operand, Zmm uses the zero-masked form with every element selected,
// which compiles to the same instruction.
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

namespace pellix {
namespace {

// A store that bypasses the caches when kStream (only at addresses aligned
// to Reg::kBytes), an ordinary one otherwise; the bytes are the same.
template <class Reg, bool kStream>
void Put(uint8_t* p, typename Reg::V v) {
  if constexpr (kStream)
    Reg::Stream(p, v);
  else
    Reg::Store(p, v);
}

#if defined(__SSE2__)

// The narrowest width: what the byte-moving kernels need for the last 16
// pixels of a row and the SSE2 kernels for theirs. Built with SSE2 alone it
// has every operation but ShuffleBytes (SSSE3), and VEX encodings appear
// only where the file's flags ask for AVX.
struct Xmm {
  using V = __m128i;
  static constexpr int kBytes = 16;

  static V Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  // a0 b0 a1 b1 ... from kBytes / 2 bytes at each address.
  static V LoadInterleaved(const uint8_t* a, const uint8_t* b) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a)),
                             _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b)));
  }
  static void Store(uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static void Stream(uint8_t* p, V v) { _mm_stream_si128(reinterpret_cast<__m128i*>(p), v); }
  static void StoreLowHalf(uint8_t* p, V v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }
  static void StoreHighHalf(uint8_t* p, V v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_unpackhi_epi64(v, v));
  }
  // Lane i of lo, then lane i of hi, for each lane i.
  template <bool kStream>
  static void PutLanesAlternating(uint8_t* p, V lo, V hi) {
    Put<Xmm, kStream>(p, lo);
    Put<Xmm, kStream>(p + kBytes, hi);
  }

  static V Zero() { return _mm_setzero_si128(); }
  static V Bytes(uint8_t b) { return _mm_set1_epi8(static_cast<char>(b)); }
  static V Words(int16_t w) { return _mm_set1_epi16(w); }
  static V RepeatLane(const uint8_t (&sixteen)[16]) { return Load(sixteen); }

  static V And(V a, V b) { return _mm_and_si128(a, b); }
  static V Xor(V a, V b) { return _mm_xor_si128(a, b); }
  static V AddBytes(V a, V b) { return _mm_add_epi8(a, b); }
  static V AverageBytes(V a, V b) { return _mm_avg_epu8(a, b); }  // (a + b + 1) >> 1
  static V AddWords(V a, V b) { return _mm_add_epi16(a, b); }
  static V MulHighWords(V a, V b) { return _mm_mulhi_epi16(a, b); }
  template <int n>
  static V ShiftRightWords(V v) {
    return _mm_srli_epi16(v, n);
  }

#if defined(__SSSE3__)
  static V ShuffleBytes(V v, V control) { return _mm_shuffle_epi8(v, control); }
#endif
  static V InterleaveLowBytes(V a, V b) { return _mm_unpacklo_epi8(a, b); }
  static V InterleaveHighBytes(V a, V b) { return _mm_unpackhi_epi8(a, b); }
  static V PackWordsSigned(V a, V b) { return _mm_packs_epi16(a, b); }
  // The words of a, then those of b, each narrowed to a byte with unsigned
  // saturation.
  static V PackWordsUnsignedInOrder(V a, V b) { return _mm_packus_epi16(a, b); }
};

#endif

#if defined(__AVX2__)

struct Ymm {
  using V = __m256i;
  static constexpr int kBytes = 32;
  static constexpr int kLanes = 2;

  static V Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static V Load(const int32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  // kBytes / 2 bytes, zero-extended to words.
  static V LoadWidened(const uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  // a0 b0 a1 b1 ... from kBytes / 2 bytes at each address.
  static V LoadInterleaved(const uint8_t* a, const uint8_t* b) {
    return _mm256_or_si256(LoadWidened(a), ShiftLeftWords<8>(LoadWidened(b)));
  }
  static void Store(uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static void Stream(uint8_t* p, V v) { _mm256_stream_si256(reinterpret_cast<__m256i*>(p), v); }
  static void StoreLowHalf(uint8_t* p, V v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
  }
  static void StoreHighHalf(uint8_t* p, V v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_extracti128_si256(v, 1));
  }
  // Lane i of lo, then lane i of hi, for each lane i.
  template <bool kStream>
  static void PutLanesAlternating(uint8_t* p, V lo, V hi) {
    Put<Ymm, kStream>(p, _mm256_permute2x128_si256(lo, hi, 0x20));
    Put<Ymm, kStream>(p + kBytes, _mm256_permute2x128_si256(lo, hi, 0x31));
  }

  static V Zero() { return _mm256_setzero_si256(); }
  static V Bytes(uint8_t b) { return _mm256_set1_epi8(static_cast<char>(b)); }
  static V Words(int16_t w) { return _mm256_set1_epi16(w); }
  // Every dword holds the word pair (even, odd).
  static V WordPairs(int16_t even, int16_t odd) {
    return Dwords(static_cast<int32_t>(static_cast<uint16_t>(even) | uint32_t{static_cast<uint16_t>(odd)} << 16));
  }
  static V Dwords(int32_t d) { return _mm256_set1_epi32(d); }
  static V Qwords(int64_t q) { return _mm256_set1_epi64x(q); }
  static V RepeatLane(const uint8_t (&sixteen)[16]) {
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sixteen)));
  }

  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
  // (a & mask) | b.
  static V MaskOr(V a, V mask, V b) { return _mm256_or_si256(_mm256_and_si256(a, mask), b); }

  static V AddBytes(V a, V b) { return _mm256_add_epi8(a, b); }
  static V SubBytes(V a, V b) { return _mm256_sub_epi8(a, b); }
  static V SubBytesUnsignedSaturated(V a, V b) { return _mm256_subs_epu8(a, b); }
  static V MinBytesUnsigned(V a, V b) { return _mm256_min_epu8(a, b); }
  static V MaxBytesUnsigned(V a, V b) { return _mm256_max_epu8(a, b); }
  static V AverageBytes(V a, V b) { return _mm256_avg_epu8(a, b); }
  static V AddWords(V a, V b) { return _mm256_add_epi16(a, b); }
  static V AddWordsSaturated(V a, V b) { return _mm256_adds_epi16(a, b); }
  static V SubWords(V a, V b) { return _mm256_sub_epi16(a, b); }
  static V MinWords(V a, V b) { return _mm256_min_epi16(a, b); }
  static V MaxWords(V a, V b) { return _mm256_max_epi16(a, b); }
  static V AddDwords(V a, V b) { return _mm256_add_epi32(a, b); }
  static V MulHighWords(V a, V b) { return _mm256_mulhi_epi16(a, b); }
  static V MulHighWordsUnsigned(V a, V b) { return _mm256_mulhi_epu16(a, b); }
  // (a * b + (1 << 14)) >> 15 per word.
  static V MulHighRoundedWords(V a, V b) { return _mm256_mulhrs_epi16(a, b); }
  // Per dword: the two word products added.
  static V MulAddWordPairs(V a, V b) { return _mm256_madd_epi16(a, b); }
  // Per word: unsignedBytes * signedBytes, the two byte products added.
  static V MulAddBytePairs(V unsignedBytes, V signedBytes) { return _mm256_maddubs_epi16(unsignedBytes, signedBytes); }
  template <int n>
  static V ShiftLeftWords(V v) {
    return _mm256_slli_epi16(v, n);
  }
  template <int n>
  static V ShiftRightWords(V v) {
    return _mm256_srli_epi16(v, n);
  }
  template <int n>
  static V ShiftRightWordsSigned(V v) {
    return _mm256_srai_epi16(v, n);
  }
  template <int n>
  static V ShiftLeftDwords(V v) {
    return _mm256_slli_epi32(v, n);
  }

  static V ShuffleBytes(V v, V control) { return _mm256_shuffle_epi8(v, control); }
  static V InterleaveLowBytes(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
  static V InterleaveHighBytes(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
  static V InterleaveLowWords(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
  static V InterleaveHighWords(V a, V b) { return _mm256_unpackhi_epi16(a, b); }
  static V InterleaveLowDwords(V a, V b) { return _mm256_unpacklo_epi32(a, b); }
  static V InterleaveHighDwords(V a, V b) { return _mm256_unpackhi_epi32(a, b); }
  static V InterleaveLowQwords(V a, V b) { return _mm256_unpacklo_epi64(a, b); }
  static V InterleaveHighQwords(V a, V b) { return _mm256_unpackhi_epi64(a, b); }
  static V PackWordsSigned(V a, V b) { return _mm256_packs_epi16(a, b); }
  static V PackWordsUnsigned(V a, V b) { return _mm256_packus_epi16(a, b); }
  static V SwapDwordPairs(V v) { return _mm256_shuffle_epi32(v, 0xB1); }
  // Word i of each qword from b where bit i of kPattern is set.
  template <int kPattern>
  static V BlendWords(V a, V b) {
    return _mm256_blend_epi16(a, b, kPattern | kPattern << 4);
  }

  static V PermuteDwords(V v, V index) { return _mm256_permutevar8x32_epi32(v, index); }
  // Dword b goes to lane b % kLanes, in order: the in-lane operations then
  // keep runs of consecutive dwords together.
  static V DealDwords(V v) { return PermuteDwords(v, _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7)); }
  // Qword b goes to lane b % kLanes, in order. With two lanes this also
  // gathers the lanes' low halves, then their high halves.
  static V DealQwords(V v) { return _mm256_permute4x64_epi64(v, 0xD8); }
  // The words of a, then those of b, each narrowed to a byte with unsigned
  // saturation.
  static V PackWordsUnsignedInOrder(V a, V b) { return DealQwords(PackWordsUnsigned(a, b)); }
  // Words 1, 3, 5, ... of a, then those of b.
  static V OddWords(V a, V b) {
    return DealQwords(_mm256_packus_epi32(_mm256_srli_epi32(a, 16), _mm256_srli_epi32(b, 16)));
  }
};

#endif

#if defined(__AVX512F__) && defined(__AVX512BW__)

struct Zmm {
  using V = __m512i;
  static constexpr int kBytes = 64;
  static constexpr int kLanes = 4;
  static constexpr __mmask16 kAllDwords = 0xFFFF;
  static constexpr __mmask8 kAllQwords = 0xFF;

  static V Load(const uint8_t* p) { return _mm512_loadu_si512(p); }
  static V Load(const int16_t* p) { return _mm512_loadu_si512(p); }
  static V Load(const int32_t* p) { return _mm512_loadu_si512(p); }
  // kBytes / 2 bytes, zero-extended to words.
  static V LoadWidened(const uint8_t* p) {
    return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
  // a0 b0 a1 b1 ... from kBytes / 2 bytes at each address.
  static V LoadInterleaved(const uint8_t* a, const uint8_t* b) {
    return _mm512_or_si512(LoadWidened(a), ShiftLeftWords<8>(LoadWidened(b)));
  }
  static void Store(uint8_t* p, V v) { _mm512_storeu_si512(p, v); }
  static void Stream(uint8_t* p, V v) { _mm512_stream_si512(reinterpret_cast<__m512i*>(p), v); }
  static void StoreLowHalf(uint8_t* p, V v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm512_maskz_extracti64x4_epi64(0xF, v, 0));
  }
  static void StoreHighHalf(uint8_t* p, V v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm512_maskz_extracti64x4_epi64(0xF, v, 1));
  }
  // Lane i of lo, then lane i of hi, for each lane i (in qword indices; 8
  // and up pick from hi).
  template <bool kStream>
  static void PutLanesAlternating(uint8_t* p, V lo, V hi) {
    const V first = _mm512_set_epi64(11, 10, 3, 2, 9, 8, 1, 0);
    const V second = _mm512_set_epi64(15, 14, 7, 6, 13, 12, 5, 4);
    Put<Zmm, kStream>(p, _mm512_permutex2var_epi64(lo, first, hi));
    Put<Zmm, kStream>(p + kBytes, _mm512_permutex2var_epi64(lo, second, hi));
  }

  static V Zero() { return _mm512_setzero_si512(); }
  static V Bytes(uint8_t b) { return _mm512_set1_epi8(static_cast<char>(b)); }
  static V Words(int16_t w) { return _mm512_set1_epi16(w); }
  // Every dword holds the word pair (even, odd).
  static V WordPairs(int16_t even, int16_t odd) {
    return Dwords(static_cast<int32_t>(static_cast<uint16_t>(even) | uint32_t{static_cast<uint16_t>(odd)} << 16));
  }
  static V Dwords(int32_t d) { return _mm512_set1_epi32(d); }
  static V Qwords(int64_t q) { return _mm512_set1_epi64(q); }
  static V RepeatLane(const uint8_t (&sixteen)[16]) {
    return _mm512_maskz_broadcast_i32x4(kAllDwords, _mm_loadu_si128(reinterpret_cast<const __m128i*>(sixteen)));
  }

  static V And(V a, V b) { return _mm512_and_si512(a, b); }
  static V Xor(V a, V b) { return _mm512_xor_si512(a, b); }
  // (a & mask) | b in one instruction: 0xEA is the truth table of that.
  static V MaskOr(V a, V mask, V b) { return _mm512_ternarylogic_epi32(a, mask, b, 0xEA); }

  static V AddBytes(V a, V b) { return _mm512_add_epi8(a, b); }
  static V SubBytes(V a, V b) { return _mm512_sub_epi8(a, b); }
  static V SubBytesUnsignedSaturated(V a, V b) { return _mm512_subs_epu8(a, b); }
  static V MinBytesUnsigned(V a, V b) { return _mm512_min_epu8(a, b); }
  static V MaxBytesUnsigned(V a, V b) { return _mm512_max_epu8(a, b); }
  static V AverageBytes(V a, V b) { return _mm512_avg_epu8(a, b); }
  static V AddWords(V a, V b) { return _mm512_add_epi16(a, b); }
  static V AddWordsSaturated(V a, V b) { return _mm512_adds_epi16(a, b); }
  static V SubWords(V a, V b) { return _mm512_sub_epi16(a, b); }
  static V MinWords(V a, V b) { return _mm512_min_epi16(a, b); }
  static V MaxWords(V a, V b) { return _mm512_max_epi16(a, b); }
  static V AddDwords(V a, V b) { return _mm512_add_epi32(a, b); }
  static V MulHighWords(V a, V b) { return _mm512_mulhi_epi16(a, b); }
  static V MulHighWordsUnsigned(V a, V b) { return _mm512_mulhi_epu16(a, b); }
  static V MulHighRoundedWords(V a, V b) { return _mm512_mulhrs_epi16(a, b); }
  static V MulAddWordPairs(V a, V b) { return _mm512_madd_epi16(a, b); }
  static V MulAddBytePairs(V unsignedBytes, V signedBytes) { return _mm512_maddubs_epi16(unsignedBytes, signedBytes); }
  template <int n>
  static V ShiftLeftWords(V v) {
    return _mm512_slli_epi16(v, n);
  }
  template <int n>
  static V ShiftRightWords(V v) {
    return _mm512_srli_epi16(v, n);
  }
  template <int n>
  static V ShiftRightWordsSigned(V v) {
    return _mm512_srai_epi16(v, n);
  }
  template <int n>
  static V ShiftLeftDwords(V v) {
    return _mm512_maskz_slli_epi32(kAllDwords, v, n);
  }

  static V ShuffleBytes(V v, V control) { return _mm512_shuffle_epi8(v, control); }
  static V InterleaveLowBytes(V a, V b) { return _mm512_unpacklo_epi8(a, b); }
  static V InterleaveHighBytes(V a, V b) { return _mm512_unpackhi_epi8(a, b); }
  static V InterleaveLowWords(V a, V b) { return _mm512_unpacklo_epi16(a, b); }
  static V InterleaveHighWords(V a, V b) { return _mm512_unpackhi_epi16(a, b); }
  static V InterleaveLowDwords(V a, V b) { return _mm512_maskz_unpacklo_epi32(kAllDwords, a, b); }
  static V InterleaveHighDwords(V a, V b) { return _mm512_maskz_unpackhi_epi32(kAllDwords, a, b); }
  static V InterleaveLowQwords(V a, V b) { return _mm512_maskz_unpacklo_epi64(kAllQwords, a, b); }
  static V InterleaveHighQwords(V a, V b) { return _mm512_maskz_unpackhi_epi64(kAllQwords, a, b); }
  static V PackWordsSigned(V a, V b) { return _mm512_packs_epi16(a, b); }
  static V PackWordsUnsigned(V a, V b) { return _mm512_packus_epi16(a, b); }
  static V SwapDwordPairs(V v) { return _mm512_maskz_shuffle_epi32(kAllDwords, v, _MM_PERM_CDAB); }
  template <int kPattern>
  static V BlendWords(V a, V b) {
    return _mm512_mask_blend_epi16(static_cast<__mmask32>(0x11111111u * kPattern), a, b);
  }

  static V PermuteWords(V v, V index) { return _mm512_permutexvar_epi16(index, v); }
  static V PermuteDwords(V v, V index) { return _mm512_maskz_permutexvar_epi32(kAllDwords, index, v); }
  static V DealDwords(V v) {
    return PermuteDwords(v, _mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15));
  }
  static V DealQwords(V v) {
    return _mm512_maskz_permutexvar_epi64(kAllQwords, _mm512_setr_epi64(0, 4, 1, 5, 2, 6, 3, 7), v);
  }
  // The lane-wise pack gives the qwords a0 b0 a1 b1 a2 b2 a3 b3; the
  // two-source permute (of the pack twice) orders them.
  static V PackWordsUnsignedInOrder(V a, V b) {
    const V packed = PackWordsUnsigned(a, b);
    return _mm512_permutex2var_epi64(packed, _mm512_set_epi64(7, 5, 3, 1, 6, 4, 2, 0), packed);
  }
  static V OddWords(V a, V b) {
    static constexpr int16_t kOdd[32] = {1,  3,  5,  7,  9,  11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31,
                                         33, 35, 37, 39, 41, 43, 45, 47, 49, 51, 53, 55, 57, 59, 61, 63};
    return _mm512_permutex2var_epi16(a, Load(kOdd), b);
  }
};

#endif

}  // namespace
}  // namespace pellix
