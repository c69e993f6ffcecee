// Whole pages of address space that fault on any access until opened, for
// buffers that must catch every stray read or write (mmap/mprotect on POSIX
// systems, VirtualAlloc/VirtualProtect on Windows).
#pragma once

#include <cstddef>

namespace pellix::platform {

size_t PageSize();
// `bytes` (a multiple of the page size) of inaccessible pages, or null.
void* ReserveInaccessiblePages(size_t bytes);
// Makes `bytes` from `first` (inside a reservation) readable and writable.
bool OpenPages(void* first, size_t bytes);
void ReleasePages(void* reservation, size_t bytes);

}  // namespace pellix::platform
