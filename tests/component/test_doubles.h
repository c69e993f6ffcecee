// Minimal host-side objects for driving the plug-in through its interfaces:
// a host that records its notifications, frames that count their references
// and locks, a frame allocator, and the two peer ports.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sdk/interfaces.h"

namespace testing_doubles {

// The message codes as a host sends them.
constexpr uint32_t kConnect = 0x3000000e;
constexpr uint32_t kDisconnect = 0x30010000;
constexpr uint32_t kSetFrameAllocator = 0x3008000e;
constexpr uint32_t kPullFrame = 0x200c000a;
constexpr uint32_t kImageFormat = 0x2009000e;

struct HostEvent {
  std::string what;
  Tessel::Plugin* plugin;
  int32_t countSeen;  // refCount() during onPluginReleasing; -1 afterwards
};

class RecordingHost : public Tessel::PluginHost {
 public:
  void onPluginReleasing(Tessel::Plugin* plugin) override;
  void onPluginReleased(Tessel::Plugin* plugin) override;
  std::vector<HostEvent> events;
};

// A frame over an owned buffer. It is never freed by release(): the ledger
// keeps it so that tests can count what happened to it.
class FakeFrame : public Tessel::Frame {
 public:
  FakeFrame(int32_t width, int32_t height, int32_t stride, uint32_t bytes);

  int32_t addRef() override { return ++references; }
  int32_t release() override;
  uint8_t* lock() override;
  void unlock() override { ++unlocks; }

  std::vector<uint8_t> pixels;
  int32_t references = 1;
  int releases = 0;
  int locks = 0;
  int unlocks = 0;
};

// Owns every frame made in a test and answers whether each was given up
// exactly once.
class FrameLedger {
 public:
  FakeFrame* make(int32_t width, int32_t height, int32_t stride, uint32_t bytes);
  const std::vector<std::unique_ptr<FakeFrame>>& frames() const { return frames_; }
  bool everyFrameReleasedOnce() const;

 private:
  std::vector<std::unique_ptr<FakeFrame>> frames_;
};

// Bytes a frame of this format needs, and no more: planar formats carry two
// quarter-size chroma planes after the luma plane.
uint32_t FrameBytes(int32_t bitsPerPixel, int32_t stride, int32_t height);

class FakeFrameAllocator : public Tessel::FrameAllocator {
 public:
  explicit FakeFrameAllocator(FrameLedger& ledger) : ledger_(ledger) {}
  void setBitsPerPixel(int32_t bits) override { announcedBits.push_back(bits); }
  Tessel::Frame* allocateFrame(int32_t width, int32_t height, int32_t count) override;

  bool refuse = false;
  std::vector<int32_t> announcedBits;
  struct Request {
    int32_t width, height, count;
  };
  std::vector<Request> requests;
  std::vector<FakeFrame*> made;

 private:
  FrameLedger& ledger_;
};

// The component's upstream peer: answers PullFrame with whatever produce()
// returns.
class FakeUpstreamPort : public Tessel::PortInterface {
 public:
  bool query(uint32_t, Tessel::Variant*) override { return true; }
  bool notify(uint32_t, Tessel::Variant*) override { return true; }
  bool request(uint32_t code, Tessel::Variant* value) override;
  bool configure(uint32_t, Tessel::Variant*) override { return false; }

  std::function<Tessel::Frame*()> produce;
  std::function<void()> duringRequest;  // runs inside the request, before answering
  bool answer = true;
  int requests = 0;
  Tessel::Variant* lastVariant = nullptr;
};

// The component's downstream peer: records image-format announcements.
class FakeDownstreamPort : public Tessel::PortInterface {
 public:
  bool query(uint32_t, Tessel::Variant*) override { return true; }
  bool notify(uint32_t, Tessel::Variant*) override { return true; }
  bool request(uint32_t, Tessel::Variant*) override { return false; }
  bool configure(uint32_t code, Tessel::Variant* value) override;

  bool answer = true;
  std::vector<uint32_t> codes;
  std::vector<Tessel::Variant*> variants;
  std::vector<Tessel::ImageProperties> seen;
};

// A Variant carrying a pointer, as the host builds port message payloads.
Tessel::Variant ObjectVariant(void* object);

}  // namespace testing_doubles
