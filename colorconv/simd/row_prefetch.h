// Software prefetch for the kernels that read two source rows at once.
// Coming from memory, two interleaved read streams outrun the hardware
// prefetcher; asking for the lines 2 KiB ahead of the bytes being read made
// 3840x2160 BGRA to I420 about 1.45x faster and left frames already in the
// cache as they were. A prefetch is only a hint, but the addresses still
// never pass the row's last byte: no line outside the frame is asked for.
// Included only by kernel files, so it has internal linkage.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "colorconv/simd/vector_registers.h"

namespace pellix {
namespace {

constexpr ptrdiff_t kPrefetchAhead = 2048;
constexpr ptrdiff_t kCacheLine = 64;

// The lines of both rows for the stepBytes bytes that begin kPrefetchAhead
// past offset; each row has rowBytes bytes (at least one).
inline void PrefetchRowPairAhead(const uint8_t* row0, const uint8_t* row1, ptrdiff_t offset, ptrdiff_t stepBytes,
                                 ptrdiff_t rowBytes) {
  for (ptrdiff_t line = 0; line < stepBytes; line += kCacheLine) {
    const ptrdiff_t at = std::min(offset + kPrefetchAhead + line, rowBytes - 1);
    _mm_prefetch(reinterpret_cast<const char*>(row0 + at), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(row1 + at), _MM_HINT_T0);
  }
}

}  // namespace
}  // namespace pellix
