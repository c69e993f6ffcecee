// The upstream port a component's input port is connected to: answers each
// PullFrame with a frame from a caller-supplied producer. Test hooks make it
// answer true with a null payload, or false.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>

#include "sdk/interfaces.h"

namespace pellix {

// Returns a frame holding one reference for the caller, or null for none.
using FrameProducer = std::function<Tessel::Frame*()>;

enum class SourceAnswer {
  Frames,               // a producer frame, or false when it gives none
  TrueWithNullPayload,  // true, with a null frame pointer in the Variant
  False,                // false, Variant untouched
};

class SourcePort final : public Tessel::PortInterface {
 public:
  explicit SourcePort(FrameProducer producer);

  bool query(uint32_t code, Tessel::Variant* value) override;      // true
  bool notify(uint32_t code, Tessel::Variant* value) override;     // true
  // PullFrame: see SourceAnswer. A producer that throws makes the answer
  // false; its exception is kept for takeProducerError(). Other codes: false.
  bool request(uint32_t code, Tessel::Variant* value) override;
  bool configure(uint32_t code, Tessel::Variant* value) override;  // false

  void setAnswer(SourceAnswer answer) { answer_.store(answer); }
  uint64_t pullRequests() const { return pullRequests_.load(); }
  // The caller's Variant of the last PullFrame (identity only).
  const Tessel::Variant* lastRequestValue() const { return lastRequestValue_.load(); }
  uint64_t framesHandedOut() const { return framesHandedOut_.load(); }
  // The exception the producer last threw, once; null if none.
  std::exception_ptr takeProducerError();

 private:
  FrameProducer producer_;
  std::atomic<SourceAnswer> answer_{SourceAnswer::Frames};
  std::atomic<uint64_t> pullRequests_{0};
  std::atomic<const Tessel::Variant*> lastRequestValue_{nullptr};
  std::atomic<uint64_t> framesHandedOut_{0};
  std::mutex errorMutex_;
  std::exception_ptr producerError_;
};

}  // namespace pellix
