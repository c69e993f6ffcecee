// The program's arguments as UTF-8, whatever the system's code page: POSIX
// systems hand them over as they are, Windows as UTF-16 (GetCommandLineW).
#pragma once

#include <string>
#include <vector>

namespace pellix::platform {

// The arguments after the program's name.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace pellix::platform
