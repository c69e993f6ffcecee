// Port messages, the converter choice on Connect, and the frame pull with
// every way it can fail.
#include <gtest/gtest.h>

#include <string>

#include "tests/component/port_rig.h"

namespace {

using namespace testing_doubles;
using Tessel::ImageProperties;
using Tessel::Variant;
using Tessel::VariantType;

TEST_F(PortsTest, Yuy2ToBgraConvertsAFrame) {
  ASSERT_TRUE(wire("YUY2", "BGRA", 16, 8));
  FakeFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(allocator.announcedBits, std::vector<int32_t>{32});
  ASSERT_EQ(allocator.requests.size(), 1u);
  EXPECT_EQ(allocator.requests[0].width, 16);
  EXPECT_EQ(allocator.requests[0].height, 8);
  EXPECT_EQ(allocator.requests[0].count, 1);
  EXPECT_EQ(frame, allocator.made[0]);
  EXPECT_EQ(frame->dataSize(), 16u * 8 * 4);
  EXPECT_EQ(frame->attribute0, kSourceAttribute0);
  EXPECT_EQ(frame->attribute1, kSourceAttribute1);
  EXPECT_EQ(frame->references, 1);
  // Mid grey: blue, green and red alike, alpha opaque.
  const uint8_t* pixel = frame->pixels.data() + 4 * (3 * 16 + 5);
  EXPECT_NEAR(pixel[0], 130, 2);
  EXPECT_EQ(pixel[0], pixel[1]);
  EXPECT_EQ(pixel[1], pixel[2]);
  EXPECT_EQ(pixel[3], 255);
  // The source went back to upstream at once.
  EXPECT_EQ(ledger.frames()[0]->releases, 1);
  handBack(frame);
}

// Which pairs have a converter: every ordered pair of two different formats.
TEST(ConverterChoiceTest, EveryDistinctPairConvertsAndNoOtherConnects) {
  const char* const names[] = {nullptr, "I420", "YV12", "UYVY", "YUY2", "BGRA"};
  for (const char* in : names) {
    for (const char* out : names) {
      if (out == nullptr) continue;  // no output port, nothing to connect
      const std::string pair = std::string(in ? in : "None") + " -> " + out;
      ExtraRig rig;
      const bool expected = in != nullptr && std::string(in) != out;
      EXPECT_EQ(rig.wire(in, out, 16, 8), expected) << pair;
      FakeFrame* frame = rig.output != nullptr ? rig.pull() : nullptr;
      EXPECT_EQ(frame != nullptr, expected) << pair;
      if (frame != nullptr) {
        EXPECT_EQ(rig.allocator.announcedBits, std::vector<int32_t>{BitsPerPixelOf(out)}) << pair;
        EXPECT_EQ(frame->dataSize(), static_cast<uint32_t>(BitsPerPixelOf(out) * 16 * 8 / 8)) << pair;
        EXPECT_EQ(frame->locks, frame->unlocks) << pair;
        rig.handBack(frame);
      }
      if (!expected) {
        EXPECT_EQ(rig.upstream.requests, 0) << pair;
      }
    }
  }
}

TEST_F(PortsTest, DataSizeOfFullFrames) {
  const struct {
    const char* in;
    const char* out;
    uint32_t bytes;
  } cases[] = {{"I420", "BGRA", 1228800}, {"YUY2", "I420", 460800}};
  for (const auto& c : cases) {
    ExtraRig rig;
    ASSERT_TRUE(rig.wire(c.in, c.out, 640, 480));
    FakeFrame* frame = rig.pull();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->dataSize(), c.bytes) << c.out;
    rig.handBack(frame);
  }
}

// At an odd height a planar frame's planes end before 12 x width x height / 8
// bytes; the data size stays within the buffer.
TEST_F(PortsTest, DataSizeNeverExceedsTheBuffer) {
  ASSERT_TRUE(wire("YUY2", "I420", 4, 3));
  FakeFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->capacity, 17u);
  EXPECT_EQ(frame->dataSize(), 17u);
  handBack(frame);
}

TEST_F(PortsTest, ConnectBeforeTheInputPortExistsSelectsNothing) {
  EXPECT_FALSE(wire(nullptr, "BGRA", 16, 8));
  input = createInput("YUY2");
  ASSERT_NE(input, nullptr);
  ASSERT_TRUE(connectInput());
  produceFrames("YUY2", 16, 8);
  EXPECT_EQ(pull(), nullptr);
  EXPECT_EQ(upstream.requests, 0);
  // Only a new Connect of the output port picks up the input format.
  ASSERT_TRUE(connectOutput());
  FakeFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  handBack(frame);
}

TEST_F(PortsTest, SameFormatOnBothSidesConnectsNothing) {
  EXPECT_FALSE(wire("UYVY", "UYVY", 16, 8));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(pull(), nullptr);
  EXPECT_EQ(upstream.requests, 0);
}

TEST_F(PortsTest, RefusedConnectKeepsTheEarlierConverter) {
  ASSERT_TRUE(wire("I420", "BGRA", 16, 8));
  ASSERT_TRUE(transform->destroyInputPort(input));
  input = createInput("BGRA");
  ASSERT_NE(input, nullptr);
  EXPECT_FALSE(connectOutput());
  // Equal formats with a converter still in place: the upstream frame and
  // the caller's own Variant pass straight through.
  FakeFrame* passed = ledger.make(16, 8, 16, 512);
  upstream.produce = [passed] { return passed; };
  Variant value;
  ASSERT_TRUE(output->request(kPullFrame, &value));
  EXPECT_EQ(upstream.lastVariant, &value);
  EXPECT_EQ(value.as<Tessel::Frame>(), passed);
  EXPECT_TRUE(allocator.requests.empty());
  EXPECT_TRUE(allocator.announcedBits.empty());
  EXPECT_EQ(passed->releases, 0);
  // The upstream answer is returned unchanged, false included.
  upstream.answer = false;
  Variant second;
  EXPECT_FALSE(output->request(kPullFrame, &second));
  handBack(passed);
}

TEST_F(PortsTest, RecreatedOutputPortTakesEffectOnTheNextConnect) {
  ASSERT_TRUE(wire("YUY2", "BGRA", 16, 8));
  ASSERT_TRUE(transform->destroyOutputPort(output));
  output = createOutput("I420");
  ASSERT_NE(output, nullptr);
  ASSERT_TRUE(connectOutput());
  FakeFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(allocator.announcedBits.back(), 12);
  EXPECT_EQ(frame->dataSize(), 16u * 8 * 12 / 8);
  handBack(frame);
}

TEST_F(PortsTest, PullWithoutFrameAllocatorFailsBeforeAskingUpstream) {
  input = createInput("I420");
  output = createOutput("YUY2");
  ASSERT_TRUE(connectInput());
  ASSERT_TRUE(connectOutput());
  produceFrames("I420", 16, 8);
  EXPECT_EQ(pull(), nullptr);
  // An allocator announced with a type other than an object pointer is ignored.
  EXPECT_TRUE(setAllocator(&allocator, VariantType::Int32));
  EXPECT_EQ(pull(), nullptr);
  EXPECT_EQ(upstream.requests, 0);
  ASSERT_TRUE(setAllocator(&allocator));
  FakeFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  handBack(frame);
}

TEST_F(PortsTest, AllocatorOfAnotherTypeKeepsThePreviousOne) {
  ASSERT_TRUE(wire("BGRA", "YUY2", 16, 8));
  FrameLedger otherLedger;
  FakeFrameAllocator other(otherLedger);
  EXPECT_TRUE(setAllocator(&other, VariantType::Int32));
  FakeFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(allocator.requests.size(), 1u);
  EXPECT_TRUE(other.requests.empty());
  handBack(frame);
}

TEST_F(PortsTest, DisconnectOfEitherPortStopsThePull) {
  for (int side = 0; side < 2; ++side) {
    ExtraRig rig;
    ASSERT_TRUE(rig.wire("I420", "BGRA", 16, 8));
    Tessel::PortInterface* port = side == 0 ? rig.input : rig.output;
    EXPECT_TRUE(port->notify(kDisconnect, nullptr));
    EXPECT_EQ(rig.pull(), nullptr);
    EXPECT_EQ(rig.upstream.requests, 0);
    // Reconnecting the input alone suffices only when the converter survived.
    ASSERT_TRUE(rig.connectInput());
    FakeFrame* frame = rig.pull();
    EXPECT_EQ(frame != nullptr, side == 0);
    if (frame != nullptr) rig.handBack(frame);
    if (side == 1) {
      ASSERT_TRUE(rig.connectOutput());
      frame = rig.pull();
      ASSERT_NE(frame, nullptr);
      rig.handBack(frame);
    }
  }
}

TEST_F(PortsTest, UpstreamAnsweringWithoutAFrame) {
  ASSERT_TRUE(wire("I420", "BGRA", 16, 8));
  upstream.produce = [] { return nullptr; };
  EXPECT_EQ(pull(), nullptr);
  EXPECT_EQ(upstream.requests, 1);
  EXPECT_TRUE(allocator.requests.empty());
  upstream.answer = false;
  EXPECT_EQ(pull(), nullptr);
  EXPECT_EQ(upstream.requests, 2);
  EXPECT_TRUE(allocator.requests.empty());
}

TEST_F(PortsTest, AllocatorReturningNullReleasesTheSourceOnce) {
  ASSERT_TRUE(wire("I420", "BGRA", 16, 8));
  allocator.refuse = true;
  EXPECT_EQ(pull(), nullptr);
  ASSERT_EQ(ledger.frames().size(), 1u);
  EXPECT_EQ(ledger.frames()[0]->releases, 1);
  EXPECT_EQ(allocator.announcedBits, std::vector<int32_t>{32});
}

TEST_F(PortsTest, ConverterRefusalReleasesBothFrames) {
  // BGRA to YUY2 refuses a source of odd width.
  ASSERT_TRUE(wire("BGRA", "YUY2", 15, 8));
  EXPECT_EQ(pull(), nullptr);
  ASSERT_EQ(ledger.frames().size(), 2u);
  for (const auto& frame : ledger.frames()) {
    EXPECT_EQ(frame->releases, 1);
    EXPECT_EQ(frame->locks, frame->unlocks);
  }
  EXPECT_EQ(allocator.made[0]->dataSize(), 0u);
}

TEST_F(PortsTest, NullVariantPointersAreRefused) {
  input = createInput("I420");
  output = createOutput("BGRA");
  EXPECT_FALSE(input->notify(kConnect, nullptr));
  EXPECT_FALSE(output->notify(kConnect, nullptr));
  EXPECT_TRUE(output->notify(kSetFrameAllocator, nullptr));
  EXPECT_FALSE(input->configure(kImageFormat, nullptr));
  EXPECT_FALSE(output->configure(kImageFormat, nullptr));
  Variant empty = ObjectVariant(nullptr);
  EXPECT_FALSE(input->configure(kImageFormat, &empty));
  EXPECT_FALSE(output->configure(kImageFormat, &empty));
  // The refused Connects stored nothing: pulls still fail once all else is set.
  ASSERT_TRUE(setAllocator(&allocator));
  produceFrames("I420", 16, 8);
  EXPECT_EQ(pull(), nullptr);
  EXPECT_EQ(upstream.requests, 0);
  ASSERT_TRUE(connectInput());
  ASSERT_TRUE(connectOutput());
  EXPECT_FALSE(output->request(kPullFrame, nullptr));
  EXPECT_EQ(upstream.requests, 0);
  FakeFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  handBack(frame);
}

TEST_F(PortsTest, UnhandledCodesAndTheInputPortsRequest) {
  ASSERT_TRUE(wire("I420", "BGRA", 16, 8));
  const uint32_t codes[] = {0, 1, kPullFrame, kImageFormat, kConnect + 1, 0xffffffffu};
  for (uint32_t code : codes) {
    Variant value;
    EXPECT_TRUE(input->query(code, &value)) << code;
    EXPECT_TRUE(output->query(code, &value)) << code;
    EXPECT_FALSE(input->request(code, &value)) << code;
    if (code != kImageFormat) {
      EXPECT_FALSE(input->configure(code, &value)) << code;
      EXPECT_FALSE(output->configure(code, &value)) << code;
    }
    if (code != kPullFrame) {
      EXPECT_FALSE(output->request(code, &value)) << code;
    }
    if (code != kConnect && code != kDisconnect && code != kSetFrameAllocator) {
      EXPECT_TRUE(input->notify(code, &value)) << code;
      EXPECT_TRUE(output->notify(code, &value)) << code;
    }
    EXPECT_EQ(value.type, VariantType::Empty) << code;
  }
  // None of that disturbed the connection.
  EXPECT_EQ(upstream.requests, 0);
  FakeFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  handBack(frame);
}

TEST_F(PortsTest, ImageFormatIsForwardedAsTheCallersVariant) {
  ASSERT_TRUE(wire("I420", "BGRA", 640, 480));
  downstream.codes.clear();
  downstream.variants.clear();
  downstream.seen.clear();
  for (Tessel::PortInterface* port : {input, output}) {
    ImageProperties image;
    image.width = -640;
    image.height = -480;
    Variant announcement = ObjectVariant(&image);
    EXPECT_TRUE(port->configure(kImageFormat, &announcement));
    EXPECT_EQ(downstream.variants.back(), &announcement);
    EXPECT_EQ(downstream.codes.back(), kImageFormat);
    EXPECT_EQ(downstream.seen.back().width, -640);
    EXPECT_EQ(downstream.seen.back().height, -480);
    EXPECT_EQ(image.height, -480);  // the caller's description is not changed
  }
  downstream.answer = false;
  ImageProperties image;
  Variant announcement = ObjectVariant(&image);
  EXPECT_FALSE(output->configure(kImageFormat, &announcement));
}

// YUY2 to BGRA takes its row count from the component's copy of the image
// description and refuses a negative one, which shows what the copy holds.
TEST_F(PortsTest, OnlyTheOutputPortStoresTheImageSizeUnsigned) {
  ASSERT_TRUE(wire("YUY2", "BGRA", 16, 8));
  ASSERT_TRUE(announce(input, -16, -8));
  EXPECT_EQ(pull(), nullptr);
  ASSERT_TRUE(announce(output, -16, -8));
  FakeFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  handBack(frame);
  EXPECT_EQ(downstream.seen.back().height, -8);
}

TEST_F(PortsTest, ImageFormatBeforeTheOutputIsConnected) {
  input = createInput("I420");
  output = createOutput("BGRA");
  ImageProperties image;
  image.height = -480;
  Variant announcement = ObjectVariant(&image);
  EXPECT_TRUE(output->configure(kImageFormat, &announcement));
  EXPECT_TRUE(input->configure(kImageFormat, &announcement));
  EXPECT_TRUE(downstream.codes.empty());
}

// Planar chroma for luma row 1 comes from chroma row 0 on progressive video
// and from chroma row 1 on field-wise video; frames convert progressively.
TEST_F(PortsTest, FramesConvertProgressively) {
  ASSERT_TRUE(wire("I420", "YUY2", 16, 8));
  upstream.produce = [this] {
    FakeFrame* frame = makeSource("I420", 16, 8);
    uint8_t* u = frame->pixels.data() + 16 * 8;
    for (int row = 0; row < 4; ++row)
      for (int x = 0; x < 8; ++x) u[row * 8 + x] = static_cast<uint8_t>(60 + 40 * row);
    return frame;
  };
  FakeFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  const uint8_t* rows = frame->pixels.data();
  const int pitch = 2 * 16;
  EXPECT_EQ(rows[1], rows[pitch + 1]);              // rows 0 and 1 share chroma
  EXPECT_NE(rows[pitch + 1], rows[2 * pitch + 1]);  // row 2 has the next chroma row
  handBack(frame);
}

}  // namespace
