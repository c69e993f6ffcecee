// How the library marks its one exported function: a DLL export on Windows,
// default visibility (the rest being hidden) elsewhere.
#pragma once

#if defined(_WIN32)
#define PELLIX_EXPORT __declspec(dllexport)
#else
#define PELLIX_EXPORT __attribute__((visibility("default")))
#endif
