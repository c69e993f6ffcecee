#include "host/sink_port.h"

namespace pellix {

bool SinkPort::query(uint32_t, Tessel::Variant*) { return true; }

bool SinkPort::notify(uint32_t, Tessel::Variant*) { return true; }

bool SinkPort::request(uint32_t, Tessel::Variant*) { return false; }

bool SinkPort::configure(uint32_t code, Tessel::Variant* value) {
  if (code != Tessel::PortMessage::ImageFormat || value == nullptr) return false;
  const auto* image = value->as<Tessel::ImageProperties>();
  if (image == nullptr) return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lastAnnouncement_ = *image;
  }
  lastAnnouncementValue_.store(value);
  announcements_.fetch_add(1);
  return announcementAnswer_.load();
}

std::optional<Tessel::ImageProperties> SinkPort::lastAnnouncement() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastAnnouncement_;
}

FrameRef SinkPort::pull() {
  Tessel::PortInterface* upstream = upstream_.load();
  if (upstream == nullptr) return FrameRef();
  Tessel::Variant answer;
  if (!upstream->request(Tessel::PortMessage::PullFrame, &answer)) return FrameRef();
  auto* frame = answer.as<Tessel::Frame>();
  if (frame == nullptr) {
    protocolErrors_.fetch_add(1);
    return FrameRef();
  }
  // A frame under the wrong type tag is still a reference to give back.
  if (answer.type != Tessel::VariantType::ObjectPtr) protocolErrors_.fetch_add(1);
  return FrameRef(frame);
}

}  // namespace pellix
