#include "tests/support/rig/platform/environment.h"

#include <cstdlib>

namespace pellix::platform {

void SetEnvironmentValue(const char* name, const char* value) { _putenv_s(name, value); }

// An empty value removes the variable.
void RemoveEnvironmentValue(const char* name) { _putenv_s(name, ""); }

}  // namespace pellix::platform
