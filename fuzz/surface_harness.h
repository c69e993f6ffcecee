// The surface harness: one component probed through everything a host can
// call besides the frame path's happy order (see surface_ops.h): port
// creation with any name and kind, destruction with any of the host's
// pointers, property lookups with any key and preset type, interface
// queries with any identifier, and any message code on every port
// operation, always with payloads of the kind the code expects. Shared by
// the fuzz target and the regression tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pellix::fuzz {

// Runs one input. Returns an empty string when the plug-in kept the
// protocol, otherwise a description of what went wrong.
std::string RunSurfaceInput(const uint8_t* data, size_t size);

}  // namespace pellix::fuzz
