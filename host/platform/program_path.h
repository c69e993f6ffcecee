// The running program's own file, every link resolved (/proc/self/exe on
// Linux, GetModuleFileNameW on Windows), as a UTF-8 path; empty when the
// system cannot say.
#pragma once

#include <string>

namespace pellix::platform {

std::string ProgramPath();

}  // namespace pellix::platform
