#include "host/platform/system_error_text.h"

#include <windows.h>

#include <cstdio>

#include "host/platform/wide_text_windows.h"

namespace pellix::platform {

std::string SystemErrorText(uint32_t code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text != nullptr ? text : L"", length);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
    message.pop_back();
  }
  char number[32];
  std::snprintf(number, sizeof number, "error %lu", static_cast<unsigned long>(code));
  return message.empty() ? std::string(number) : Utf8FromWide(message) + " (" + number + ")";
}

}  // namespace pellix::platform
