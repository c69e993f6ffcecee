// A component wired between test doubles the way a host wires it: ports
// created by name, connected, given a frame allocator and an image format.
#pragma once

#include <cstdint>

#include "tests/component/plugin_fixture.h"

class PortsTest : public PluginTest {
 protected:
  void TearDown() override;

  // Creates both ports (when a name is given), connects them to the doubles,
  // hands over the allocator and announces a width x height image. Returns
  // the output port's answer to Connect.
  bool wire(const char* inputName, const char* outputName, int32_t width, int32_t height);
  bool connectOutput();
  bool connectInput();
  // A width x height image with a stride of width, announced on `port`.
  bool announce(Tessel::PortInterface* port, int32_t width, int32_t height);
  bool setAllocator(Tessel::FrameAllocator* allocator, Tessel::VariantType type = Tessel::VariantType::ObjectPtr);

  // Makes upstream hand out a fresh source frame of the format per request.
  void produceFrames(const char* format, int32_t width, int32_t height);
  testing_doubles::FakeFrame* makeSource(const char* format, int32_t width, int32_t height);

  // Pulls one frame; null when the pull answers false. The test owns the
  // returned frame's reference; handBack gives it up.
  testing_doubles::FakeFrame* pull();
  void handBack(testing_doubles::FakeFrame* frame) { frame->release(); }

  testing_doubles::FrameLedger ledger;
  testing_doubles::FakeFrameAllocator allocator{ledger};
  testing_doubles::FakeUpstreamPort upstream;
  testing_doubles::FakeDownstreamPort downstream;
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

int32_t BitsPerPixelOf(const char* format);

constexpr uint32_t kSourceAttribute0 = 0xA0A0A0A0u;
constexpr uint32_t kSourceAttribute1 = 0x0B1B2B3Bu;
