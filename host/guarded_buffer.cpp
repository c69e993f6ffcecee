#include "host/guarded_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <new>

namespace pellix {

// Layout: guard page, data pages, guard page. The data is placed against the
// requested edge; the slack on the other side stays readable.
GuardedBuffer::GuardedBuffer(size_t size, Edge edge) : size_(size) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t dataPages = (size + page - 1) / page;
  mappingSize_ = (dataPages + 2) * page;
  mapping_ = mmap(nullptr, mappingSize_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping_ == MAP_FAILED) {
    mapping_ = nullptr;
    throw std::bad_alloc();
  }
  uint8_t* first = static_cast<uint8_t*>(mapping_) + page;
  if (dataPages > 0 && mprotect(first, dataPages * page, PROT_READ | PROT_WRITE) != 0) {
    munmap(mapping_, mappingSize_);
    mapping_ = nullptr;
    throw std::bad_alloc();
  }
  data_ = edge == Edge::Start ? first : first + dataPages * page - size;
}

GuardedBuffer::~GuardedBuffer() {
  if (mapping_ != nullptr) munmap(mapping_, mappingSize_);
}

}  // namespace pellix
