#include <windows.h>

#include "tools/pellix_convert/terminal.h"

namespace pellix::convert {

// A console answers GetConsoleMode; the NUL device is a character device too
// but no console.
bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace pellix::convert
