#include "host/platform/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include "host/platform/wide_text_windows.h"

namespace pellix::platform {

// The narrow argv holds the arguments in the ANSI code page, which cannot
// spell every file name; the wide command line can.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
  }
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
  LocalFree(wide);
  return arguments;
}

}  // namespace pellix::platform
