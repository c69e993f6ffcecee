// Software prefetch for the kernels that read two source rows at once: two
// interleaved read streams from memory outrun the hardware prefetcher, so
// the kernels ask for the lines 2 KiB ahead of the bytes being read. A
// prefetch is only a hint, but the addresses still never pass the row's
// end: no line outside the frame is asked for.
// Included only by kernel files, so it has internal linkage.
#pragma once

#include <cstddef>
#include <cstdint>

#include "colorconv/simd/vector_registers.h"

namespace pellix {
namespace {

constexpr ptrdiff_t kPrefetchAhead = 2048;
constexpr ptrdiff_t kCacheLine = 64;

// Whether the lines for the stepBytes bytes that begin kPrefetchAhead past
// offset all lie in a row of rowBytes bytes. Kernels prefetch only in the
// steps where they do, and run the row's last 2 KiB (and rows shorter than
// that, which are in the cache by the time they are read) without hints.
constexpr bool PrefetchStaysInRow(ptrdiff_t offset, ptrdiff_t stepBytes, ptrdiff_t rowBytes) {
  return offset + kPrefetchAhead + stepBytes <= rowBytes;
}

// The lines of both rows for the stepBytes bytes that begin kPrefetchAhead
// past offset, where PrefetchStaysInRow holds.
PELLIX_WIDE_INLINE void PrefetchRowPairAhead(const uint8_t* row0, const uint8_t* row1, ptrdiff_t offset,
                                             ptrdiff_t stepBytes) {
  for (ptrdiff_t line = 0; line < stepBytes; line += kCacheLine) {
    _mm_prefetch(reinterpret_cast<const char*>(row0 + offset + kPrefetchAhead + line), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(row1 + offset + kPrefetchAhead + line), _MM_HINT_T0);
  }
}

}  // namespace
}  // namespace pellix
