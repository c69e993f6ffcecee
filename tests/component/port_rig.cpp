#include "tests/component/port_rig.h"

#include <cstring>

#include "formats/format_names.h"
#include "host/frame_layout.h"

using Tessel::PortMessage::Connect;
using Tessel::PortMessage::ImageFormat;
using Tessel::PortMessage::PullFrame;
using Tessel::PortMessage::SetFrameAllocator;

Tessel::Variant ObjectVariant(void* object) {
  Tessel::Variant v;
  v.setPointer(Tessel::VariantType::ObjectPtr, object);
  return v;
}

int32_t BitsPerPixelOf(const char* format) { return pellix::BitsPerPixel(pellix::FormatFromPortName(format)); }

void PortsTest::TearDown() {
  const pellix::LedgerReport report = ledger->report();
  EXPECT_TRUE(report.clean()) << "a frame was leaked, released twice or left locked\n" << report.describe();
  if (input != nullptr) transform->destroyInputPort(input);
  if (output != nullptr) transform->destroyOutputPort(output);
  PluginTest::TearDown();
}

bool PortsTest::connectInput() {
  Tessel::Variant peer = ObjectVariant(&upstream);
  return input->notify(Connect, &peer);
}

bool PortsTest::connectOutput() {
  Tessel::Variant peer = ObjectVariant(&downstream);
  return output->notify(Connect, &peer);
}

bool PortsTest::setAllocator(Tessel::FrameAllocator* frameAllocator, Tessel::VariantType type) {
  Tessel::Variant value;
  value.setPointer(type, frameAllocator);
  return output->notify(SetFrameAllocator, &value);
}

bool PortsTest::announce(Tessel::PortInterface* port, int32_t width, int32_t height) {
  Tessel::ImageProperties image;
  image.width = width;
  image.height = height;
  image.stride = width;
  Tessel::Variant announcement = ObjectVariant(&image);
  return port->configure(ImageFormat, &announcement);
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

pellix::HostFrame* PortsTest::makeSource(const char* format, int32_t width, int32_t height) {
  const pellix::PixelFormat code = pellix::FormatFromPortName(format);
  const pellix::FrameLayout layout =
      pellix::LayoutFor(code, width, height, pellix::DefaultStride(code, width), pellix::PlaneRule::Source);
  Tessel::ImageProperties image;
  image.width = width;
  image.height = height;
  image.stride = layout.stride;
  pellix::HostFrame* frame = sources.acquire(static_cast<uint32_t>(layout.bytes), image);
  std::memset(frame->data(), 128, frame->capacity);
  frame->dataSize() = frame->capacity;
  frame->attribute0 = kSourceAttribute0;
  frame->attribute1 = kSourceAttribute1;
  return frame;
}

void PortsTest::produceFrames(const char* format, int32_t width, int32_t height) {
  produce = [this, format, width, height] { return makeSource(format, width, height); };
}

pellix::HostFrame* PortsTest::pull() {
  Tessel::Variant value;
  if (!output->request(PullFrame, &value)) {
    EXPECT_EQ(value.type, Tessel::VariantType::Empty) << "a failed pull wrote the caller's Variant";
    EXPECT_EQ(value.payload.pointer, nullptr);
    return nullptr;
  }
  EXPECT_EQ(value.type, Tessel::VariantType::ObjectPtr);
  return static_cast<pellix::HostFrame*>(value.as<Tessel::Frame>());
}
