// The system's own text for a Windows error code (FormatMessageW), in UTF-8.
#pragma once

#include <cstdint>
#include <string>

namespace pellix::platform {

// "error 0x...: <text>" with the trailing line break removed; the code alone
// when the system has no text for it.
std::string SystemErrorText(uint32_t code);

}  // namespace pellix::platform
