#include "host/platform/utf8_path.h"

namespace pellix::platform {

FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

}  // namespace pellix::platform
