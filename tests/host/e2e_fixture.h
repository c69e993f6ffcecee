// Shared set-up of the end-to-end tests: the built plug-in loaded once per
// process, a ledger per test checked after every test, a hand-wired graph for
// step-by-step tests, and the expected output of a conversion computed by
// calling the routines directly.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "formats/pixel_format.h"
#include "host/conversion_session.h"
#include "host/frame_allocator.h"
#include "host/frame_layout.h"
#include "host/frame_ledger.h"
#include "host/frame_producers.h"
#include "host/loaded_component.h"
#include "host/plugin_host.h"
#include "host/plugin_library.h"
#include "host/sink_port.h"
#include "host/source_port.h"
#include "tests/support/expected_conversion.h"
#include "tests/support/rig/guarded_memory.h"
#include "tests/support/rig/source_answers.h"

namespace pellix {
namespace e2e {

std::shared_ptr<const PluginLibrary> Library();

// Deterministic bytes for source frame `index`, different per seed.
void FillPseudoRandom(HostFrame& frame, uint64_t seed, uint64_t index);

class PluginTest : public ::testing::Test {
 protected:
  // Every frame handed out during the test was released exactly once.
  void TearDown() override;

  // A session whose source frames are filled with FillPseudoRandom(seed) and
  // carry attribute0 = 1000 + index, attribute1 = 2000 + index.
  SessionOptions Options(const char* input, const char* output, int32_t width, int32_t height, uint64_t seed = 1);

  std::shared_ptr<FrameLedger> ledger = std::make_shared<FrameLedger>();
};

// A guarded source frame of `format` laid out by the source rule with the
// default stride, filled with FillPseudoRandom(seed, 0).
FrameRef MakeSourceFrame(FramePool& pool, PixelFormat format, int32_t width, int32_t height, uint64_t seed);

// The parts of a graph, wired by the test itself through `component`.
// Declaration order makes the component go first on destruction.
struct RawGraph {
  RawGraph(const std::shared_ptr<FrameLedger>& ledger, PixelFormat sourceFormat, int32_t width, int32_t height);

  // PullFrame on the output port; empty when it answers false.
  FrameRef pull();

  RecordingPluginHost host;
  std::shared_ptr<FramePool> sourcePool;
  FrameLayout sourceLayout;
  SourcePort source;
  SinkPort sink;
  // The allocator's frames, guarded; a test can make this memory run out.
  std::shared_ptr<GuardedFrameMemory> allocatorMemory = std::make_shared<GuardedFrameMemory>();
  HostFrameAllocator allocator;
  LoadedComponent component;
};

// The whole buffer of a frame.
std::vector<uint8_t> FrameBytes(Tessel::Frame& frame);

// Equal buffers; on failure names the first differing offset and the number
// of differing bytes instead of printing both buffers.
::testing::AssertionResult SameBytes(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected);

}  // namespace e2e
}  // namespace pellix
