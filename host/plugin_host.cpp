#include "host/plugin_host.h"

namespace pellix {

void RecordingPluginHost::onPluginReleasing(Tessel::Plugin* plugin) {
  std::lock_guard<std::mutex> lock(mutex_);
  // The object is still alive here, so it may be asked for its count.
  events_.push_back({EventKind::Releasing, plugin, plugin->refCount()});
}

void RecordingPluginHost::onPluginReleased(Tessel::Plugin* plugin) {
  std::lock_guard<std::mutex> lock(mutex_);
  events_.push_back({EventKind::Released, plugin, -1});
}

std::vector<RecordingPluginHost::Event> RecordingPluginHost::events() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

bool RecordingPluginHost::releasedCleanly(const void* plugin) const {
  std::vector<EventKind> seen;
  for (const Event& event : events()) {
    if (event.plugin == plugin) seen.push_back(event.kind);
  }
  return seen == std::vector<EventKind>{EventKind::Releasing, EventKind::Released};
}

}  // namespace pellix
