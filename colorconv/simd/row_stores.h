// The choice of store kind for a row of a wide kernel.
#pragma once

#include <cstdint>

#include "colorconv/simd/vector_registers.h"

namespace pellix {
namespace {

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
