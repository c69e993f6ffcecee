// The downstream port a component's output port is connected to: receives the
// image-format announcements the component forwards, and pulls converted
// frames from the component's output port.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

#include "host/frame_ref.h"
#include "sdk/interfaces.h"

namespace pellix {

class SinkPort final : public Tessel::PortInterface {
 public:
  bool query(uint32_t code, Tessel::Variant* value) override;   // true
  bool notify(uint32_t code, Tessel::Variant* value) override;  // true
  bool request(uint32_t code, Tessel::Variant* value) override; // false
  // ImageFormat: keeps a copy of the announced description and answers as
  // set by setAnnouncementAnswer (true by default). Other codes: false.
  bool configure(uint32_t code, Tessel::Variant* value) override;

  // The component port to pull from (its output port).
  void attach(Tessel::PortInterface* componentOutput) { upstream_.store(componentOutput); }

  // One PullFrame on the attached port. Empty when it answers false; an
  // answer of true with a null frame is counted in protocolErrors() and gives
  // an empty FrameRef too.
  FrameRef pull();

  void setAnnouncementAnswer(bool answer) { announcementAnswer_.store(answer); }
  std::optional<Tessel::ImageProperties> lastAnnouncement() const;
  // The Variant the last announcement came in (identity only).
  const Tessel::Variant* lastAnnouncementValue() const { return lastAnnouncementValue_.load(); }
  uint64_t announcements() const { return announcements_.load(); }
  uint64_t protocolErrors() const { return protocolErrors_.load(); }

 private:
  std::atomic<Tessel::PortInterface*> upstream_{nullptr};
  std::atomic<bool> announcementAnswer_{true};
  std::atomic<uint64_t> announcements_{0};
  std::atomic<const Tessel::Variant*> lastAnnouncementValue_{nullptr};
  std::atomic<uint64_t> protocolErrors_{0};
  mutable std::mutex mutex_;
  std::optional<Tessel::ImageProperties> lastAnnouncement_;
};

}  // namespace pellix
