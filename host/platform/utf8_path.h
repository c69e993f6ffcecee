// Paths are UTF-8 everywhere in the host and the tool. POSIX systems take
// them as they are; Windows takes UTF-16, through its wide-character calls.
#pragma once

#include <cstdio>
#include <string>

namespace pellix::platform {

// fopen with a UTF-8 path (_wfopen on Windows); null with errno set.
FILE* OpenFile(const std::string& path, const char* mode);

}  // namespace pellix::platform
