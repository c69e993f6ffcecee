#include "tests/component/port_rig.h"

#include <algorithm>
#include <cstring>

using namespace testing_doubles;

int32_t BitsPerPixelOf(const char* format) {
  if (std::strncmp(format, "BGRA", 4) == 0) return 32;
  if (std::strncmp(format, "YUY2", 4) == 0 || std::strncmp(format, "UYVY", 4) == 0) return 16;
  return 12;
}

void PortsTest::TearDown() {
  EXPECT_TRUE(ledger.everyFrameReleasedOnce()) << "a frame was leaked, released twice or left locked";
  if (input != nullptr) transform->destroyInputPort(input);
  if (output != nullptr) transform->destroyOutputPort(output);
  PluginTest::TearDown();
}

bool PortsTest::connectInput() {
  Tessel::Variant peer = ObjectVariant(&upstream);
  return input->notify(kConnect, &peer);
}

bool PortsTest::connectOutput() {
  Tessel::Variant peer = ObjectVariant(&downstream);
  return output->notify(kConnect, &peer);
}

bool PortsTest::setAllocator(Tessel::FrameAllocator* frameAllocator, Tessel::VariantType type) {
  Tessel::Variant value;
  value.setPointer(type, frameAllocator);
  return output->notify(kSetFrameAllocator, &value);
}

bool PortsTest::announce(Tessel::PortInterface* port, int32_t width, int32_t height) {
  Tessel::ImageProperties image;
  image.width = width;
  image.height = height;
  image.stride = width;
  Tessel::Variant announcement = ObjectVariant(&image);
  return port->configure(kImageFormat, &announcement);
}

bool PortsTest::wire(const char* inputName, const char* outputName, int32_t width, int32_t height) {
  if (inputName != nullptr) input = createInput(inputName);
  if (outputName != nullptr) output = createOutput(outputName);
  EXPECT_NE(output, nullptr);
  if (input != nullptr) {
    EXPECT_TRUE(connectInput());
  }
  const bool connected = connectOutput();
  EXPECT_TRUE(setAllocator(&allocator));
  EXPECT_TRUE(announce(input != nullptr ? input : output, width, height));
  if (inputName != nullptr) produceFrames(inputName, width, height);
  return connected;
}

FakeFrame* PortsTest::makeSource(const char* format, int32_t width, int32_t height) {
  FakeFrame* frame = ledger.make(width, height, width, FrameBytes(BitsPerPixelOf(format), width, height));
  std::fill(frame->pixels.begin(), frame->pixels.end(), 128);
  frame->dataSize() = frame->capacity;
  frame->attribute0 = kSourceAttribute0;
  frame->attribute1 = kSourceAttribute1;
  return frame;
}

void PortsTest::produceFrames(const char* format, int32_t width, int32_t height) {
  upstream.produce = [this, format, width, height] { return makeSource(format, width, height); };
}

FakeFrame* PortsTest::pull() {
  Tessel::Variant value;
  if (!output->request(kPullFrame, &value)) {
    EXPECT_EQ(value.type, Tessel::VariantType::Empty) << "a failed pull wrote the caller's Variant";
    EXPECT_EQ(value.payload.pointer, nullptr);
    return nullptr;
  }
  EXPECT_EQ(value.type, Tessel::VariantType::ObjectPtr);
  return static_cast<FakeFrame*>(value.as<Tessel::Frame>());
}
