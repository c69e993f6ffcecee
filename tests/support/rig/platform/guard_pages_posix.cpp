#include "tests/support/rig/platform/guard_pages.h"

#include <sys/mman.h>
#include <unistd.h>

namespace pellix::platform {

size_t PageSize() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }

void* ReserveInaccessiblePages(size_t bytes) {
  void* mapping = mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return mapping == MAP_FAILED ? nullptr : mapping;
}

bool OpenPages(void* first, size_t bytes) { return mprotect(first, bytes, PROT_READ | PROT_WRITE) == 0; }

void ReleasePages(void* reservation, size_t bytes) { munmap(reservation, bytes); }

}  // namespace pellix::platform
