// The upstream port a component's input port is connected to: answers each
// PullFrame with a frame from a caller-supplied producer, or as a PullAnswer
// put in its place says (a test rig's faulty upstream).
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

// Answers a PullFrame in the producer's place: the port's answer, with
// `value` (the caller's Variant) set as the answer needs.
class PullAnswer {
 public:
  virtual ~PullAnswer() = default;
  virtual bool answer(Tessel::Variant& value) const = 0;
};

class SourcePort final : public Tessel::PortInterface {
 public:
  explicit SourcePort(FrameProducer producer);

  bool query(uint32_t code, Tessel::Variant* value) override;      // true
  bool notify(uint32_t code, Tessel::Variant* value) override;     // true
  // PullFrame: true with a producer frame, false when it gives none (Variant
  // untouched), or the PullAnswer in place. A producer that throws makes the
  // answer false; its exception is kept for takeProducerError(). Other
  // codes: false.
  bool request(uint32_t code, Tessel::Variant* value) override;
  bool configure(uint32_t code, Tessel::Variant* value) override;  // false

  // Every PullFrame from now on is answered by `answer`, which must outlive
  // its use; null: by the producer again.
  void setPullAnswer(const PullAnswer* answer) { pullAnswer_.store(answer); }
  uint64_t pullRequests() const { return pullRequests_.load(); }
  // The caller's Variant of the last PullFrame (identity only).
  const Tessel::Variant* lastRequestValue() const { return lastRequestValue_.load(); }
  uint64_t framesHandedOut() const { return framesHandedOut_.load(); }
  // The exception the producer last threw, once; null if none.
  std::exception_ptr takeProducerError();

 private:
  FrameProducer producer_;
  std::atomic<const PullAnswer*> pullAnswer_{nullptr};
  std::atomic<uint64_t> pullRequests_{0};
  std::atomic<const Tessel::Variant*> lastRequestValue_{nullptr};
  std::atomic<uint64_t> framesHandedOut_{0};
  std::mutex errorMutex_;
  std::exception_ptr producerError_;
};

}  // namespace pellix
