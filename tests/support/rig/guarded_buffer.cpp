#include "tests/support/rig/guarded_buffer.h"

#include <new>

#include "tests/support/rig/platform/guard_pages.h"

namespace pellix {

// Layout: guard page, data pages, guard page. The data is placed against the
// requested edge; the slack on the other side stays readable.
GuardedBuffer::GuardedBuffer(size_t size, Edge edge) : size_(size) {
  const size_t page = platform::PageSize();
  const size_t dataPages = (size + page - 1) / page;
  mappingSize_ = (dataPages + 2) * page;
  mapping_ = platform::ReserveInaccessiblePages(mappingSize_);
  if (mapping_ == nullptr) throw std::bad_alloc();
  uint8_t* first = static_cast<uint8_t*>(mapping_) + page;
  if (dataPages > 0 && !platform::OpenPages(first, dataPages * page)) {
    platform::ReleasePages(mapping_, mappingSize_);
    mapping_ = nullptr;
    throw std::bad_alloc();
  }
  data_ = edge == Edge::Start ? first : first + dataPages * page - size;
}

GuardedBuffer::~GuardedBuffer() {
  if (mapping_ != nullptr) platform::ReleasePages(mapping_, mappingSize_);
}

}  // namespace pellix
