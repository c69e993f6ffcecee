#include "host/platform/utf8_path.h"

#include "host/platform/wide_text_windows.h"

namespace pellix::platform {

FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(WidePath(path).c_str(), WidePath(mode).c_str());
}

}  // namespace pellix::platform
