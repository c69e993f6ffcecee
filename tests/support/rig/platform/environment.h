// Setting and removing a process environment variable (setenv/unsetenv on
// POSIX systems, _putenv_s on Windows, where the C runtime the plug-in
// shares with the program keeps the table getenv reads).
#pragma once

namespace pellix::platform {

void SetEnvironmentValue(const char* name, const char* value);
void RemoveEnvironmentValue(const char* name);

}  // namespace pellix::platform
