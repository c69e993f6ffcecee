#include "host/converted_frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace pellix {
namespace {

// A frame whose lock gives `memory` (possibly none) and counts the locks
// still held, so a test sees that every path unlocks.
class StubFrame final : public Tessel::Frame {
 public:
  StubFrame(uint8_t* memory, uint32_t bytes) : memory_(memory) { capacity = bytes; }
  int32_t addRef() override { return 1; }
  int32_t release() override { return 0; }
  uint8_t* lock() override {
    ++locks;
    return memory_;
  }
  void unlock() override { --locks; }
  int locks = 0;

 private:
  uint8_t* memory_;
};

struct ReadCase {
  const char* name;
  int32_t capacityShortBy;  // bytes the buffer lacks of the layout's end
  bool lockGivesMemory;
  ConvertedFrameFault expected;
};

TEST(ReadConvertedFrame, ReadsOnlyAFrameThatHoldsItsLayoutAndCanBeLocked) {
  const FrameLayout layout = LayoutFor(PixelFormat::I420, 33, 17, 36);
  const ReadCase cases[] = {
      {"exact buffer", 0, true, ConvertedFrameFault::None},
      {"one byte short", 1, true, ConvertedFrameFault::TooSmall},
      {"no memory on lock", 0, false, ConvertedFrameFault::NoPixels},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> memory(layout.bytes, 7);
    StubFrame frame(c.lockGivesMemory ? memory.data() : nullptr,
                    static_cast<uint32_t>(layout.bytes) - static_cast<uint32_t>(c.capacityShortBy));
    const uint8_t* seen = nullptr;
    EXPECT_EQ(ReadConvertedFrame(frame, layout, [&](const uint8_t* pixels) { seen = pixels; }), c.expected);
    EXPECT_EQ(seen, c.expected == ConvertedFrameFault::None ? memory.data() : nullptr);
    EXPECT_EQ(frame.locks, 0);
  }
}

}  // namespace
}  // namespace pellix
