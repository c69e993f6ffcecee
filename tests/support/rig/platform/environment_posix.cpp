#include "tests/support/rig/platform/environment.h"

#include <cstdlib>

namespace pellix::platform {

void SetEnvironmentValue(const char* name, const char* value) { setenv(name, value, 1); }

void RemoveEnvironmentValue(const char* name) { unsetenv(name); }

}  // namespace pellix::platform
