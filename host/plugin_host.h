// The host object handed to _getPlugin: records the two notifications a
// plug-in sends around its final release, so tests can check their order.
#pragma once

#include <mutex>
#include <vector>

#include "sdk/interfaces.h"

namespace pellix {

class RecordingPluginHost final : public Tessel::PluginHost {
 public:
  enum class EventKind { Releasing, Released };
  struct Event {
    EventKind kind;
    const void* plugin;  // identity only: the object may be gone
    int32_t countSeen;   // Releasing: the plug-in's refCount() then; Released: -1
  };

  void onPluginReleasing(Tessel::Plugin* plugin) override;
  void onPluginReleased(Tessel::Plugin* plugin) override;

  std::vector<Event> events() const;
  // Exactly one Releasing followed by one Released for this plug-in.
  bool releasedCleanly(const void* plugin) const;

 private:
  mutable std::mutex mutex_;
  std::vector<Event> events_;
};

}  // namespace pellix
