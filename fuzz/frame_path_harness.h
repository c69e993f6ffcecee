// The frame-path harness: one component driven through its ports as a host
// would, with frames whose formats, geometry, strides, capacities and pixels
// come from the input (see frame_path_plan.h). Shared by the fuzz target and
// the regression tests, which replay saved inputs through this same code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pellix::fuzz {

// Runs one input. Returns an empty string when the plug-in kept the
// protocol (every frame released exactly once, refusals leave the caller's
// Variant alone, converted frames carry their source's attributes, ...),
// otherwise a description of what went wrong. Memory faults are left to the
// sanitizers and guard pages.
std::string RunFramePathInput(const uint8_t* data, size_t size);

}  // namespace pellix::fuzz
