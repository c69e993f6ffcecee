// A component wired to the reference host's pieces the way a host wires it:
// ports created by name, connected to a host source port and sink port,
// given the host's frame allocator and an image format. Source frames come
// from a host frame pool; one ledger sees every frame of both sides.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "host/frame.h"
#include "host/frame_allocator.h"
#include "host/frame_ledger.h"
#include "host/frame_pool.h"
#include "host/sink_port.h"
#include "host/source_port.h"
#include "tests/component/plugin_fixture.h"
#include "tests/support/rig/guarded_memory.h"

class PortsTest : public PluginTest {
 protected:
  // Every frame handed out in the test was given up exactly once and left
  // unlocked; then the ports and the component go.
  void TearDown() override;

  // Creates both ports (when a name is given), connects them to the host's
  // ports, hands over the allocator and announces a width x height image.
  // Returns the output port's answer to Connect.
  bool wire(const char* inputName, const char* outputName, int32_t width, int32_t height);
  bool connectOutput();
  bool connectInput();
  // A width x height image with a stride of width, announced on `port`.
  bool announce(Tessel::PortInterface* port, int32_t width, int32_t height);
  bool setAllocator(Tessel::FrameAllocator* allocator, Tessel::VariantType type = Tessel::VariantType::ObjectPtr);

  // Makes upstream hand out a fresh source frame of the format per request.
  void produceFrames(const char* format, int32_t width, int32_t height);
  // A source frame of the format: every byte 128, dataSize its capacity,
  // the two attributes below.
  pellix::HostFrame* makeSource(const char* format, int32_t width, int32_t height);

  // Pulls one frame; null when the pull answers false. The test owns the
  // returned frame's reference; handBack gives it up.
  pellix::HostFrame* pull();
  void handBack(Tessel::Frame* frame) { frame->release(); }

  std::shared_ptr<pellix::FrameLedger> ledger = std::make_shared<pellix::FrameLedger>();
  pellix::FramePool sources{ledger};
  // The allocator's frames, guarded; a test can make this memory run out.
  std::shared_ptr<pellix::GuardedFrameMemory> allocatorMemory = std::make_shared<pellix::GuardedFrameMemory>();
  pellix::HostFrameAllocator allocator{ledger, [this] {
                                         pellix::FrameAllocatorOptions options;
                                         options.buffers.memory = allocatorMemory;
                                         return options;
                                       }()};
  // What the upstream port hands out for each PullFrame; null (no frame)
  // when unset. Runs inside the pull, with the component's mutex held.
  std::function<Tessel::Frame*()> produce;
  pellix::SourcePort upstream{[this]() -> Tessel::Frame* { return produce ? produce() : nullptr; }};
  pellix::SinkPort downstream;
  Tessel::PortInterface* input = nullptr;
  Tessel::PortInterface* output = nullptr;
};

// A further wired component inside one test, for tests that loop over cases.
class ExtraRig final : public PortsTest {
 public:
  ExtraRig() { SetUp(); }
  ~ExtraRig() override { TearDown(); }
  void TestBody() override {}

  using PortsTest::allocator;
  using PortsTest::connectInput;
  using PortsTest::connectOutput;
  using PortsTest::handBack;
  using PortsTest::input;
  using PortsTest::output;
  using PortsTest::pull;
  using PortsTest::upstream;
  using PortsTest::wire;
};

// A Variant carrying a pointer, as a host builds port message payloads.
Tessel::Variant ObjectVariant(void* object);

int32_t BitsPerPixelOf(const char* format);

constexpr uint32_t kSourceAttribute0 = 0xA0A0A0A0u;
constexpr uint32_t kSourceAttribute1 = 0x0B1B2B3Bu;
