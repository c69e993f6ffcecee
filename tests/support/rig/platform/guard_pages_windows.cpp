#include "tests/support/rig/platform/guard_pages.h"

#include <windows.h>

namespace pellix::platform {

size_t PageSize() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
}

void* ReserveInaccessiblePages(size_t bytes) {
  // Committed but inaccessible: opening a range later needs no commit that
  // could fail on its own.
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
}

bool OpenPages(void* first, size_t bytes) {
  DWORD previous = 0;
  return VirtualProtect(first, bytes, PAGE_READWRITE, &previous) != 0;
}

void ReleasePages(void* reservation, size_t) { VirtualFree(reservation, 0, MEM_RELEASE); }

}  // namespace pellix::platform
