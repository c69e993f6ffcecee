#include "host/borrowed_frame.h"

#include <utility>

namespace pellix {

BorrowedFrame::BorrowedFrame(FrameLedger& ledger, uint8_t* data, uint32_t capacity,
                             const Tessel::ImageProperties& image, std::string what)
    : ledger_(ledger), data_(data), ticket_(ledger.noteHandedOut(std::move(what))) {
  this->capacity = capacity;
  dataSize() = capacity;
  imageProperties = image;
}

BorrowedFrame::~BorrowedFrame() {
  if (references() > 0) ledger_.noteProblem(ticket_, "still referenced when its memory was given back");
  if (lockDepth_.load(std::memory_order_acquire) != 0) {
    ledger_.noteProblem(ticket_, "still locked when its memory was given back");
  }
}

// Misuse is recorded, never acted on: a count that went wrong is put back so
// the frame stays reported as outstanding instead of being released twice.
int32_t BorrowedFrame::addRef() {
  const int32_t before = references_.fetch_add(1, std::memory_order_acq_rel);
  if (before > 0) return before + 1;
  references_.fetch_sub(1, std::memory_order_acq_rel);
  ledger_.noteProblem(ticket_, "addRef() after the last reference was given up");
  return 0;
}

int32_t BorrowedFrame::release() {
  const int32_t before = references_.fetch_sub(1, std::memory_order_acq_rel);
  if (before == 1) ledger_.noteReleased(ticket_);
  if (before >= 1) return before - 1;
  references_.fetch_add(1, std::memory_order_acq_rel);
  ledger_.noteProblem(ticket_, "release() after the last reference was given up");
  return 0;
}

uint8_t* BorrowedFrame::lock() {
  if (references() <= 0) {
    ledger_.noteProblem(ticket_, "lock() after the last reference was given up");
    return nullptr;
  }
  lockDepth_.fetch_add(1, std::memory_order_acq_rel);
  return data_;
}

void BorrowedFrame::unlock() {
  if (lockDepth_.fetch_sub(1, std::memory_order_acq_rel) > 0) return;
  lockDepth_.fetch_add(1, std::memory_order_acq_rel);
  ledger_.noteProblem(ticket_, "unlock() without a matching lock()");
}

}  // namespace pellix
