// One way of running a row over several register widths: the widest takes
// every whole step of its width it can, each narrower one goes on from where
// the one before stopped. So a body is written once per step and a row of
// any multiple of the narrowest step takes no padded copy.
#pragma once

#include <cstddef>

#include "colorconv/simd/vector_registers.h"

namespace pellix {
namespace {

// Calls steps(Width{}, x) for each of Widths in the order given (widest
// first); each call converts from pixel x on and returns the pixel where it
// stopped, which the next call starts from. Returns where the last stopped.
template <class... Widths, class Steps>
PELLIX_WIDE_INLINE ptrdiff_t WidestFirst(ptrdiff_t x, Steps steps) {
  ((x = steps(Widths{}, x)), ...);
  return x;
}

}  // namespace
}  // namespace pellix
