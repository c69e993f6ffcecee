#include "host/platform/program_path.h"

#include <windows.h>

#include <vector>

#include "host/platform/wide_text_windows.h"

namespace pellix::platform {

std::string ProgramPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) return Utf8FromWide(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace pellix::platform
