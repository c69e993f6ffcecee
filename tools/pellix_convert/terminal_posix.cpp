#include <unistd.h>

#include "tools/pellix_convert/terminal.h"

namespace pellix::convert {

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) != 0; }

}  // namespace pellix::convert
