#include "host/source_port.h"

#include <utility>

namespace pellix {

SourcePort::SourcePort(FrameProducer producer) : producer_(std::move(producer)) {}

bool SourcePort::query(uint32_t, Tessel::Variant*) { return true; }

bool SourcePort::notify(uint32_t, Tessel::Variant*) { return true; }

bool SourcePort::configure(uint32_t, Tessel::Variant*) { return false; }

bool SourcePort::request(uint32_t code, Tessel::Variant* value) {
  if (code != Tessel::PortMessage::PullFrame || value == nullptr) return false;
  pullRequests_.fetch_add(1);
  lastRequestValue_.store(value);
  if (const PullAnswer* answer = pullAnswer_.load()) return answer->answer(*value);
  if (!producer_) return false;
  Tessel::Frame* frame = nullptr;
  // The call comes from inside the plug-in: an exception must not unwind
  // through it, so it is kept and reported to the host's own caller.
  try {
    frame = producer_();
  } catch (...) {
    std::lock_guard<std::mutex> lock(errorMutex_);
    producerError_ = std::current_exception();
    return false;
  }
  if (frame == nullptr) return false;
  framesHandedOut_.fetch_add(1);
  value->setPointer(Tessel::VariantType::ObjectPtr, frame);
  return true;
}

std::exception_ptr SourcePort::takeProducerError() {
  std::lock_guard<std::mutex> lock(errorMutex_);
  return std::exchange(producerError_, nullptr);
}

}  // namespace pellix
