// Byte vectors of 16, 32 and 64 bytes for the wide kernels that move and
// average samples: one policy per width, with the same operations under the
// same names, so a kernel body is written once and run at every width (the
// widest over most of a row, the narrower ones over what is left of it).
//
// 256- and 512-bit unpacks and packs work inside each 128-bit lane; the
// helpers that cross lanes (InterleaveHalves, StoreUnpacked, PackInOrder,
// StoreHalves) put the bytes back in memory order, so a body never sees the
// lanes.
//
// Included only by kernel files compiled for AVX2 or AVX-512 (the 64-byte
// policy only where AVX-512 BW is enabled), so everything here has internal
// linkage: no kernel file can hand its copy of a helper to another.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

namespace pellix {
namespace {

struct Xmm {
  using T = __m128i;
  static constexpr ptrdiff_t kBytes = 16;

  static T Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void Store(uint8_t* p, T m) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), m); }
  // Only at addresses aligned to kBytes.
  static void Stream(uint8_t* p, T m) { _mm_stream_si128(reinterpret_cast<__m128i*>(p), m); }

  static T Bytes(uint8_t b) { return _mm_set1_epi8(static_cast<char>(b)); }
  static T Words(int16_t w) { return _mm_set1_epi16(w); }
  static T Zero() { return _mm_setzero_si128(); }
  static T EveryLane(__m128i lane) { return lane; }
  static T Xor(T a, T b) { return _mm_xor_si128(a, b); }
  static T And(T a, T b) { return _mm_and_si128(a, b); }
  static T AddBytes(T a, T b) { return _mm_add_epi8(a, b); }
  static T AddWords(T a, T b) { return _mm_add_epi16(a, b); }
  static T MulHighWords(T a, T b) { return _mm_mulhi_epi16(a, b); }
  static T AverageBytes(T a, T b) { return _mm_avg_epu8(a, b); }  // (a + b + 1) >> 1
  static T HighBytesOfWords(T a) { return _mm_srli_epi16(a, 8); }
  static T ShuffleBytes(T a, T pattern) { return _mm_shuffle_epi8(a, pattern); }  // within 16-byte lanes
  static T UnpackLo(T a, T b) { return _mm_unpacklo_epi8(a, b); }
  static T UnpackHi(T a, T b) { return _mm_unpackhi_epi8(a, b); }
  static T PackSigned(T a, T b) { return _mm_packs_epi16(a, b); }

  // a0 b0 a1 b1 ... from kBytes / 2 bytes at each address.
  static T InterleaveHalves(const uint8_t* a, const uint8_t* b) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a)),
                             _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b)));
  }
  // UnpackLo(x, y) and UnpackHi(x, y) as the 2 * kBytes bytes they interleave.
  template <bool kStream>
  static void StoreUnpacked(uint8_t* p, T lo, T hi) {
    Put<kStream>(p, lo);
    Put<kStream>(p + kBytes, hi);
  }
  // The words of a, then those of b, each narrowed to a byte with unsigned
  // saturation.
  static T PackInOrder(T a, T b) { return _mm_packus_epi16(a, b); }
  static void StoreHalves(uint8_t* lo, uint8_t* hi, T m) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(lo), m);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(hi), _mm_unpackhi_epi64(m, m));
  }

  template <bool kStream>
  static void Put(uint8_t* p, T m) {
    kStream ? Stream(p, m) : Store(p, m);
  }
};

struct Ymm {
  using T = __m256i;
  static constexpr ptrdiff_t kBytes = 32;

  static T Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void Store(uint8_t* p, T m) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), m); }
  static void Stream(uint8_t* p, T m) { _mm256_stream_si256(reinterpret_cast<__m256i*>(p), m); }

  static T Bytes(uint8_t b) { return _mm256_set1_epi8(static_cast<char>(b)); }
  static T Words(int16_t w) { return _mm256_set1_epi16(w); }
  static T Zero() { return _mm256_setzero_si256(); }
  static T EveryLane(__m128i lane) { return _mm256_broadcastsi128_si256(lane); }
  static T Xor(T a, T b) { return _mm256_xor_si256(a, b); }
  static T And(T a, T b) { return _mm256_and_si256(a, b); }
  static T AddBytes(T a, T b) { return _mm256_add_epi8(a, b); }
  static T AddWords(T a, T b) { return _mm256_add_epi16(a, b); }
  static T MulHighWords(T a, T b) { return _mm256_mulhi_epi16(a, b); }
  static T AverageBytes(T a, T b) { return _mm256_avg_epu8(a, b); }
  static T HighBytesOfWords(T a) { return _mm256_srli_epi16(a, 8); }
  static T ShuffleBytes(T a, T pattern) { return _mm256_shuffle_epi8(a, pattern); }
  static T UnpackLo(T a, T b) { return _mm256_unpacklo_epi8(a, b); }
  static T UnpackHi(T a, T b) { return _mm256_unpackhi_epi8(a, b); }
  static T PackSigned(T a, T b) { return _mm256_packs_epi16(a, b); }

  // Zero-extended to words, the b bytes moved to the high byte of each.
  static T InterleaveHalves(const uint8_t* a, const uint8_t* b) {
    const __m128i a16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
    const __m128i b16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
    return _mm256_or_si256(_mm256_cvtepu8_epi16(a16), _mm256_slli_epi16(_mm256_cvtepu8_epi16(b16), 8));
  }
  // Lane 0 of lo, lane 0 of hi, lane 1 of lo, lane 1 of hi.
  template <bool kStream>
  static void StoreUnpacked(uint8_t* p, T lo, T hi) {
    Put<kStream>(p, _mm256_permute2x128_si256(lo, hi, 0x20));
    Put<kStream>(p + kBytes, _mm256_permute2x128_si256(lo, hi, 0x31));
  }
  // The lane-wise pack gives the 8-byte groups a0 b0 a1 b1; 0xD8 orders them.
  static T PackInOrder(T a, T b) { return _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), 0xD8); }
  static void StoreHalves(uint8_t* lo, uint8_t* hi, T m) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lo), _mm256_castsi256_si128(m));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(hi), _mm256_extracti128_si256(m, 1));
  }

  template <bool kStream>
  static void Put(uint8_t* p, T m) {
    kStream ? Stream(p, m) : Store(p, m);
  }
};

#if defined(__AVX512F__) && defined(__AVX512BW__)

// Where GCC's intrinsic for an instruction passes an undefined register
// through (the broadcast, the extract, the cast to 256 bits, the one-source
// permute), GCC 12 warns that it may be uninitialised; zero-masked forms
// with every lane selected, a masked store and the two-source permute do
// the same work without that operand.
struct Zmm {
  using T = __m512i;
  static constexpr ptrdiff_t kBytes = 64;

  static T Load(const uint8_t* p) { return _mm512_loadu_si512(p); }
  static void Store(uint8_t* p, T m) { _mm512_storeu_si512(p, m); }
  static void Stream(uint8_t* p, T m) { _mm512_stream_si512(reinterpret_cast<__m512i*>(p), m); }

  static T Bytes(uint8_t b) { return _mm512_set1_epi8(static_cast<char>(b)); }
  static T Words(int16_t w) { return _mm512_set1_epi16(w); }
  static T Zero() { return _mm512_setzero_si512(); }
  static T EveryLane(__m128i lane) { return _mm512_maskz_broadcast_i32x4(0xFFFF, lane); }
  static T Xor(T a, T b) { return _mm512_xor_si512(a, b); }
  static T And(T a, T b) { return _mm512_and_si512(a, b); }
  static T AddBytes(T a, T b) { return _mm512_add_epi8(a, b); }
  static T AddWords(T a, T b) { return _mm512_add_epi16(a, b); }
  static T MulHighWords(T a, T b) { return _mm512_mulhi_epi16(a, b); }
  static T AverageBytes(T a, T b) { return _mm512_avg_epu8(a, b); }
  static T HighBytesOfWords(T a) { return _mm512_srli_epi16(a, 8); }
  static T ShuffleBytes(T a, T pattern) { return _mm512_shuffle_epi8(a, pattern); }
  static T UnpackLo(T a, T b) { return _mm512_unpacklo_epi8(a, b); }
  static T UnpackHi(T a, T b) { return _mm512_unpackhi_epi8(a, b); }
  static T PackSigned(T a, T b) { return _mm512_packs_epi16(a, b); }

  // Zero-extended to words, the b bytes moved to the high byte of each.
  static T InterleaveHalves(const uint8_t* a, const uint8_t* b) {
    const __m256i a32 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a));
    const __m256i b32 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b));
    return _mm512_or_si512(_mm512_cvtepu8_epi16(a32), _mm512_slli_epi16(_mm512_cvtepu8_epi16(b32), 8));
  }
  // Lanes lo0 hi0 lo1 hi1, then lo2 hi2 lo3 hi3 (in 64-bit indices; 8 and
  // up pick from hi).
  template <bool kStream>
  static void StoreUnpacked(uint8_t* p, T lo, T hi) {
    const T first = _mm512_set_epi64(11, 10, 3, 2, 9, 8, 1, 0);
    const T second = _mm512_set_epi64(15, 14, 7, 6, 13, 12, 5, 4);
    Put<kStream>(p, _mm512_permutex2var_epi64(lo, first, hi));
    Put<kStream>(p + kBytes, _mm512_permutex2var_epi64(lo, second, hi));
  }
  // The lane-wise pack gives the 8-byte groups a0 b0 a1 b1 a2 b2 a3 b3.
  static T PackInOrder(T a, T b) {
    const T packed = _mm512_packus_epi16(a, b);
    return _mm512_permutex2var_epi64(packed, _mm512_set_epi64(7, 5, 3, 1, 6, 4, 2, 0), packed);
  }
  static void StoreHalves(uint8_t* lo, uint8_t* hi, T m) {
    _mm512_mask_storeu_epi64(lo, 0x0F, m);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(hi), _mm512_maskz_extracti64x4_epi64(0xF, m, 1));
  }

  template <bool kStream>
  static void Put(uint8_t* p, T m) {
    kStream ? Stream(p, m) : Store(p, m);
  }
};

#endif

template <bool kStream>
struct Stores {
  static constexpr bool kStreaming = kStream;
};

// Runs `steps` with streaming stores (Stores<true>) where the caller allows
// them and the row begins at a multiple of the widest vector, so that every
// store of every width lands aligned to its width; other rows take ordinary
// stores (Stores<false>), with the same bytes. A store fence orders the
// streamed bytes before whatever hands the frame on.
template <class Widest, class Steps>
void WithRowStores(const uint8_t* row, bool stream, Steps steps) {
  if (stream && reinterpret_cast<uintptr_t>(row) % Widest::kBytes == 0) {
    steps(Stores<true>{});
    _mm_sfence();
  } else {
    steps(Stores<false>{});
  }
}

}  // namespace
}  // namespace pellix
