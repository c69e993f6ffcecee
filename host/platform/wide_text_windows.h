// UTF-8 to UTF-16 and back, for the wide-character calls of Windows. Bytes
// that are not UTF-8 become U+FFFD rather than being dropped.
#pragma once

#include <string>

namespace pellix::platform {

std::wstring WidePath(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);

}  // namespace pellix::platform
