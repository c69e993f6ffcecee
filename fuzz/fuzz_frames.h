// Frames whose geometry, capacity and contents come from fuzz bytes: a
// producer of source frames for the host's SourcePort and a frame allocator
// for the component's output port. Both draw their frames from host
// FramePools (optionally against a guard page) that report every hand-out
// and release to one ledger.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/pixel_format.h"
#include "fuzz/fuzz_bytes.h"
#include "host/frame.h"
#include "host/frame_layout.h"
#include "host/frame_pool.h"
#include "host/source_port.h"
#include "sdk/host.h"

namespace pellix::fuzz {

// Largest buffer a fuzzed frame gets. Geometry may describe far more; the
// converters must then refuse rather than touch memory beyond the buffer.
constexpr uint32_t kMaxFrameCapacity = 1u << 16;

// A stride relative to the one a host would pick for the width:
//   mode % 4 == 0  the default stride (width, even for packed 4:2:2)
//   mode % 4 == 1  default + mode / 4;  == 2  default - mode / 4
//   mode % 4 == 3  `raw`, any value
struct StrideChoice {
  uint8_t mode = 0;
  int32_t raw = 0;

  void read(ByteReader& in);
  void write(ByteWriter& out) const;
  int32_t resolve(PixelFormat format, int32_t width) const;
};

// A capacity relative to the bytes the frame's layout needs:
//   mode % 4 == 0  exactly what is needed
//   mode % 4 == 1  needed - 1 - mode / 4 (short, not below 0)
//   mode % 4 == 2  needed + mode / 4
//   mode % 4 == 3  `raw`
// Always at most kMaxFrameCapacity.
struct CapacityChoice {
  uint8_t mode = 0;
  uint32_t raw = 0;

  void read(ByteReader& in);
  void write(ByteWriter& out) const;
  uint32_t resolve(uint64_t needed) const;
};

// What the upstream port does for one PullFrame.
enum class SourceBehaviour : uint8_t {
  Frame,            // a new frame as described
  NoFrame,          // the producer has none: the port answers false
  TrueWithNullFrame,
  False,
};

struct SourceFrameRecipe {
  SourceBehaviour behaviour = SourceBehaviour::Frame;
  int32_t width = 0;
  int32_t height = 0;
  StrideChoice stride;
  CapacityChoice capacity;
  // dataSize: 0 capacity, 1 what the layout needs (may exceed capacity),
  // 2 `rawDataSize`, 3 zero.
  uint8_t dataSizeMode = 0;
  uint32_t rawDataSize = 0;
  uint32_t attribute0 = 0;
  uint32_t attribute1 = 0;

  void read(ByteReader& in);
  void write(ByteWriter& out) const;
};

struct DestinationFrameRecipe {
  bool refuse = false;  // allocateFrame answers null
  StrideChoice stride;
  CapacityChoice capacity;

  void read(ByteReader& in);
  void write(ByteWriter& out) const;
};

// Bytes a frame of this geometry spans (magnitudes taken, each clamped so
// the product stays far inside 64 bits).
uint64_t NeededBytes(PixelFormat format, int32_t width, int32_t height, int32_t stride, PlaneRule rule);

// The format whose frames have this many bits per pixel (12 planar, 16 packed
// 4:2:2, 32 BGRA); None for anything else.
PixelFormat FormatForBits(int32_t bits);

// Makes the source frames the upstream port hands out, one recipe per call
// (the last recipe repeats once the list is used up).
class FuzzFrameSource {
 public:
  FuzzFrameSource(std::shared_ptr<FrameLedger> ledger, FrameBufferOptions buffers, PixelFormat format,
                  std::vector<SourceFrameRecipe> recipes, std::vector<uint8_t> pixels);

  // For SourcePort: null when the recipe says NoFrame.
  Tessel::Frame* produce();
  FrameProducer producer() {
    return [this] { return produce(); };
  }

  // Every later frame follows this recipe.
  void setRecipe(const SourceFrameRecipe& recipe) { recipes_.assign(1, recipe); }

  bool made(const Tessel::Frame* frame) const;
  HostFrame* lastMade() const { return lastMade_; }
  uint64_t calls() const { return calls_; }

 private:
  FramePool pool_;
  PixelFormat format_;
  std::vector<SourceFrameRecipe> recipes_;
  std::vector<uint8_t> pixels_;
  std::vector<const Tessel::Frame*> made_;
  HostFrame* lastMade_ = nullptr;
  uint64_t calls_ = 0;
};

// The output port's frame allocator: each allocateFrame takes the next recipe
// (the last repeats). Records protocol slips of the caller in problems().
class FuzzFrameAllocator final : public Tessel::FrameAllocator {
 public:
  FuzzFrameAllocator(std::shared_ptr<FrameLedger> ledger, FrameBufferOptions buffers,
                     std::vector<DestinationFrameRecipe> recipes);

  void setBitsPerPixel(int32_t bits) override;
  Tessel::Frame* allocateFrame(int32_t width, int32_t height, int32_t count) override;

  // While set, every allocateFrame answers null.
  void setRefusing(bool refusing) { refusing_ = refusing; }

  bool made(const Tessel::Frame* frame) const;
  HostFrame* lastMade() const { return lastMade_; }
  const std::vector<std::string>& problems() const { return problems_; }

 private:
  FramePool pool_;
  std::vector<DestinationFrameRecipe> recipes_;
  std::vector<const Tessel::Frame*> made_;
  HostFrame* lastMade_ = nullptr;
  int32_t bits_ = 0;
  uint64_t calls_ = 0;
  bool refusing_ = false;
  std::vector<std::string> problems_;
};

}  // namespace pellix::fuzz
