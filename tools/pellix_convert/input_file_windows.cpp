#include <windows.h>

#include "host/platform/system_error_text.h"
#include "host/platform/wide_text_windows.h"
#include "tools/pellix_convert/input_file.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {

InputFile::InputFile(const std::string& path) {
  HANDLE file = GetStdHandle(STD_INPUT_HANDLE);
  if (path == "-") {
    name_ = "standard input";
  } else {
    name_ = "'" + path + "'";
    const std::wstring wide = platform::WidePath(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      throw ToolError("input " + name_ + " is a folder");
    }
    file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      throw ToolError("cannot open input " + name_ + ": " + platform::SystemErrorText(GetLastError()));
    }
    ownsHandle_ = true;
  }
  handle_ = reinterpret_cast<intptr_t>(file);
  file_ = RegularFileOf(handle_);
  if (file_) {
    LARGE_INTEGER size{}, position{}, none{};
    if (GetFileSizeEx(file, &size) && SetFilePointerEx(file, none, &position, FILE_CURRENT)) {
      const int64_t left = size.QuadPart - position.QuadPart;
      length_ = static_cast<uint64_t>(left > 0 ? left : 0);
    }
  }
}

InputFile::~InputFile() {
  if (ownsHandle_) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

size_t InputFile::readSome(uint8_t* data, size_t size) {
  const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  DWORD got = 0;
  if (ReadFile(reinterpret_cast<HANDLE>(handle_), data, chunk, &got, nullptr)) return got;
  const DWORD error = GetLastError();
  // The writing end of a pipe closed: the end of the input.
  if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;
  throw ToolError("cannot read input " + name_ + ": " + platform::SystemErrorText(error));
}

bool InputFile::seekForward(uint64_t size) {
  LARGE_INTEGER distance{};
  distance.QuadPart = static_cast<LONGLONG>(size);
  return length_ && SetFilePointerEx(reinterpret_cast<HANDLE>(handle_), distance, nullptr, FILE_CURRENT);
}

}  // namespace pellix::convert
