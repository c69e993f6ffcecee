// Scalar forms of the packed-word operations the kernels use, so that each
// model states its arithmetic in the same steps as the instructions.
#pragma once

#include <cstdint>

namespace pellix {

// Signed 16 x 16 product shifted right by 16: floor(a * k / 65536).
inline int16_t MulHigh(int16_t a, int16_t k) {
  const int32_t product = int32_t{a} * int32_t{k};
  return static_cast<int16_t>(product >= 0 ? product / 65536 : -((-product + 65535) / 65536));
}

inline int16_t AddSaturate(int16_t a, int16_t b) {
  const int32_t sum = int32_t{a} + int32_t{b};
  return static_cast<int16_t>(sum > 32767 ? 32767 : (sum < -32768 ? -32768 : sum));
}

inline int16_t AddWrap(int16_t a, int16_t b) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint16_t>(a) + static_cast<uint16_t>(b)));
}

inline int16_t SubWrap(int16_t a, int16_t b) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint16_t>(a) - static_cast<uint16_t>(b)));
}

// Arithmetic shift of a signed word (floor division by 2^n).
inline int16_t ShiftRightArithmetic(int16_t a, int n) {
  const int32_t v = a;
  const int32_t d = int32_t{1} << n;
  return static_cast<int16_t>(v >= 0 ? v / d : -((-v + d - 1) / d));
}

inline uint8_t PackUnsigned(int16_t a) { return static_cast<uint8_t>(a < 0 ? 0 : (a > 255 ? 255 : a)); }

inline int8_t PackSigned(int16_t a) { return static_cast<int8_t>(a < -128 ? -128 : (a > 127 ? 127 : a)); }

// Rounding byte average of the SSE set: (a + b + 1) >> 1.
inline uint8_t AverageRounding(uint8_t a, uint8_t b) { return static_cast<uint8_t>((a + b + 1) >> 1); }

// Truncating byte average of the MMX routines: (a + b) >> 1.
inline uint8_t AverageTruncating(uint8_t a, uint8_t b) { return static_cast<uint8_t>((a + b) >> 1); }

}  // namespace pellix
