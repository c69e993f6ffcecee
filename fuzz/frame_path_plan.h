// What one frame-path fuzz input asks for, decoded from its bytes in this
// order (the seed generator writes the same fields back):
//   input name, output name        one byte each, an index into kFormatNames
//   flags                          FramePathFlags bits
//   re-creation, its name          RecreateStep, an index into kFormatNames
//   disconnect                     bit 0: side (0 input, 1 output); the rest:
//                                  before which pull (none if >= pull count)
//   announced width, height, stride
//   pull count                     1 + byte % kMaxPulls
//   per pull                       a SourceFrameRecipe, a DestinationFrameRecipe
//   the rest                       pixel bytes, repeated over every source frame
#pragma once

#include <cstdint>
#include <vector>

#include "fuzz/fuzz_bytes.h"
#include "fuzz/fuzz_frames.h"

namespace pellix::fuzz {

// Names offered at port creation: the six the plug-in accepts, a name with
// words after the code (accepted by its first four characters) and one in
// the wrong case (refused).
constexpr const char* kFormatNames[] = {"I420", "IYUV", "YV12", "YUY2", "UYVY", "BGRA", "YV12 planar", "i420"};
constexpr uint8_t kFormatNameCount = sizeof(kFormatNames) / sizeof(kFormatNames[0]);

constexpr uint8_t kMaxPulls = 4;

namespace FramePathFlags {
constexpr uint8_t AnnounceOnInput = 1u << 0;
constexpr uint8_t AnnounceOnOutput = 1u << 1;
constexpr uint8_t AnnounceBeforeConnect = 1u << 2;
constexpr uint8_t AllocatorWrongTypeFirst = 1u << 3;  // SetFrameAllocator with an Int32 Variant first
constexpr uint8_t BufferModeShift = 4;                // 2 bits, BufferMode
constexpr uint8_t NoAllocator = 1u << 6;              // never hand over a frame allocator
constexpr uint8_t ConnectOutputTwice = 1u << 7;
}  // namespace FramePathFlags

enum class BufferMode : uint8_t { GuardAtEnd = 0, GuardAtStart = 1, Heap = 2, GuardAtEndToo = 3 };

// A port re-created after the output Connect (its converter stays in place).
enum class RecreateStep : uint8_t {
  None = 0,
  InputAsOutput = 1,  // input port re-created with the output's name: pass-through
  Output = 2,         // output port re-created with `recreateName`
  Input = 3,          // input port re-created with `recreateName`
};

struct FramePathPlan {
  uint8_t inputName = 0;
  uint8_t outputName = 5;
  uint8_t flags = 0;
  RecreateStep recreate = RecreateStep::None;
  uint8_t recreateName = 0;
  uint8_t disconnect = 0xFF;
  int32_t announcedWidth = 0;
  int32_t announcedHeight = 0;
  int32_t announcedStride = 0;
  std::vector<SourceFrameRecipe> sources;  // one per pull
  std::vector<DestinationFrameRecipe> destinations;
  std::vector<uint8_t> pixels;

  BufferMode bufferMode() const { return static_cast<BufferMode>((flags >> FramePathFlags::BufferModeShift) & 3); }
  size_t pulls() const { return sources.size(); }

  void read(ByteReader& in) {
    inputName = in.byte() % kFormatNameCount;
    outputName = in.byte() % kFormatNameCount;
    flags = in.byte();
    recreate = static_cast<RecreateStep>(in.byte() % 4);
    recreateName = in.byte() % kFormatNameCount;
    disconnect = in.byte();
    announcedWidth = in.dimension();
    announcedHeight = in.dimension();
    announcedStride = in.dimension();
    const size_t count = 1u + in.byte() % kMaxPulls;
    sources.assign(count, SourceFrameRecipe{});
    destinations.assign(count, DestinationFrameRecipe{});
    for (size_t i = 0; i < count; ++i) {
      sources[i].read(in);
      destinations[i].read(in);
    }
    pixels = in.rest();
  }

  // Pull count is pulls() (1 to kMaxPulls); destinations must match sources.
  void write(ByteWriter& out) const {
    out.byte(inputName).byte(outputName).byte(flags);
    out.byte(static_cast<uint8_t>(recreate)).byte(recreateName).byte(disconnect);
    out.dimension(announcedWidth).dimension(announcedHeight).dimension(announcedStride);
    out.byte(static_cast<uint8_t>(pulls() - 1));
    for (size_t i = 0; i < pulls(); ++i) {
      sources[i].write(out);
      destinations[i].write(out);
    }
    out.raw(pixels);
  }
};

}  // namespace pellix::fuzz
