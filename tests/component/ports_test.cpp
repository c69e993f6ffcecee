// Port messages, the converter choice on Connect, and the frame pull with
// every way it can fail.
#include <gtest/gtest.h>

#include <string>

#include "tests/component/port_rig.h"
#include "tests/support/rig/source_answers.h"

namespace {

using pellix::HostFrame;
using pellix::SetSourceAnswer;
using pellix::SourceAnswer;
using Tessel::ImageProperties;
using Tessel::Variant;
using Tessel::VariantType;
using Tessel::PortMessage::Connect;
using Tessel::PortMessage::Disconnect;
using Tessel::PortMessage::ImageFormat;
using Tessel::PortMessage::PullFrame;
using Tessel::PortMessage::SetFrameAllocator;

TEST_F(PortsTest, Yuy2ToBgraConvertsAFrame) {
  ASSERT_TRUE(wire("YUY2", "BGRA", 16, 8));
  HostFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(allocator.bitsAnnouncements(), 1u);
  EXPECT_EQ(allocator.bitsPerPixel(), 32);
  // One request, count 1 (the host's allocator refuses any other count).
  EXPECT_EQ(allocator.allocateCalls(), 1u);
  EXPECT_EQ(frame, allocator.lastMade());
  EXPECT_EQ(frame->imageProperties.width, 16);
  EXPECT_EQ(frame->imageProperties.height, 8);
  EXPECT_EQ(frame->dataSize(), 16u * 8 * 4);
  EXPECT_EQ(frame->attribute0, kSourceAttribute0);
  EXPECT_EQ(frame->attribute1, kSourceAttribute1);
  EXPECT_EQ(frame->references(), 1);
  // Mid grey: blue, green and red alike, alpha opaque.
  const uint8_t* pixel = frame->data() + 4 * (3 * 16 + 5);
  EXPECT_NEAR(pixel[0], 130, 2);
  EXPECT_EQ(pixel[0], pixel[1]);
  EXPECT_EQ(pixel[1], pixel[2]);
  EXPECT_EQ(pixel[3], 255);
  // The source went back to upstream at once.
  EXPECT_EQ(ledger->handedOut(), 2u);
  EXPECT_EQ(ledger->released(), 1u);
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
      HostFrame* frame = rig.output != nullptr ? rig.pull() : nullptr;
      EXPECT_EQ(frame != nullptr, expected) << pair;
      if (frame != nullptr) {
        EXPECT_EQ(rig.allocator.bitsAnnouncements(), 1u) << pair;
        EXPECT_EQ(rig.allocator.bitsPerPixel(), BitsPerPixelOf(out)) << pair;
        EXPECT_EQ(frame->dataSize(), static_cast<uint32_t>(BitsPerPixelOf(out) * 16 * 8 / 8)) << pair;
        EXPECT_EQ(frame->lockDepth(), 0) << pair;
        rig.handBack(frame);
      }
      if (!expected) {
        EXPECT_EQ(rig.upstream.pullRequests(), 0u) << pair;
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
    HostFrame* frame = rig.pull();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->dataSize(), c.bytes) << c.out;
    rig.handBack(frame);
  }
}

// At an odd height a planar frame's planes end before 12 x width x height / 8
// bytes; the data size stays within a buffer that holds just the planes.
TEST_F(PortsTest, DataSizeNeverExceedsTheBuffer) {
  pellix::FrameAllocatorOptions tight;
  tight.capacityAdjustment = -1;  // 18 bytes for 4 x 3 at 12 bits; the planes end at 17
  pellix::HostFrameAllocator tightAllocator(ledger, tight);
  ASSERT_TRUE(wire("YUY2", "I420", 4, 3));
  ASSERT_TRUE(setAllocator(&tightAllocator));
  HostFrame* frame = pull();
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
  EXPECT_EQ(upstream.pullRequests(), 0u);
  // Only a new Connect of the output port picks up the input format.
  ASSERT_TRUE(connectOutput());
  HostFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  handBack(frame);
}

TEST_F(PortsTest, SameFormatOnBothSidesConnectsNothing) {
  EXPECT_FALSE(wire("UYVY", "UYVY", 16, 8));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(pull(), nullptr);
  EXPECT_EQ(upstream.pullRequests(), 0u);
}

TEST_F(PortsTest, RefusedConnectKeepsTheEarlierConverter) {
  ASSERT_TRUE(wire("I420", "BGRA", 16, 8));
  ASSERT_TRUE(transform->destroyInputPort(input));
  input = createInput("BGRA");
  ASSERT_NE(input, nullptr);
  EXPECT_FALSE(connectOutput());
  // Equal formats with a converter still in place: the upstream frame and
  // the caller's own Variant pass straight through.
  HostFrame* passed = makeSource("BGRA", 16, 8);
  produce = [passed] { return passed; };
  Variant value;
  ASSERT_TRUE(output->request(PullFrame, &value));
  EXPECT_EQ(upstream.lastRequestValue(), &value);
  EXPECT_EQ(value.as<Tessel::Frame>(), passed);
  EXPECT_EQ(allocator.allocateCalls(), 0u);
  EXPECT_EQ(allocator.bitsAnnouncements(), 0u);
  EXPECT_EQ(passed->references(), 1);
  // The upstream answer is returned unchanged, false included.
  SetSourceAnswer(upstream, SourceAnswer::False);
  Variant second;
  EXPECT_FALSE(output->request(PullFrame, &second));
  handBack(passed);
}

TEST_F(PortsTest, RecreatedOutputPortTakesEffectOnTheNextConnect) {
  ASSERT_TRUE(wire("YUY2", "BGRA", 16, 8));
  ASSERT_TRUE(transform->destroyOutputPort(output));
  output = createOutput("I420");
  ASSERT_NE(output, nullptr);
  ASSERT_TRUE(connectOutput());
  HostFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(allocator.bitsPerPixel(), 12);
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
  EXPECT_EQ(upstream.pullRequests(), 0u);
  ASSERT_TRUE(setAllocator(&allocator));
  HostFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  handBack(frame);
}

TEST_F(PortsTest, AllocatorOfAnotherTypeKeepsThePreviousOne) {
  ASSERT_TRUE(wire("BGRA", "YUY2", 16, 8));
  pellix::HostFrameAllocator other(ledger);
  EXPECT_TRUE(setAllocator(&other, VariantType::Int32));
  HostFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(allocator.allocateCalls(), 1u);
  EXPECT_EQ(other.allocateCalls(), 0u);
  handBack(frame);
}

TEST_F(PortsTest, DisconnectOfEitherPortStopsThePull) {
  for (int side = 0; side < 2; ++side) {
    ExtraRig rig;
    ASSERT_TRUE(rig.wire("I420", "BGRA", 16, 8));
    Tessel::PortInterface* port = side == 0 ? rig.input : rig.output;
    EXPECT_TRUE(port->notify(Disconnect, nullptr));
    EXPECT_EQ(rig.pull(), nullptr);
    EXPECT_EQ(rig.upstream.pullRequests(), 0u);
    // Reconnecting the input alone suffices only when the converter survived.
    ASSERT_TRUE(rig.connectInput());
    HostFrame* frame = rig.pull();
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
  SetSourceAnswer(upstream, SourceAnswer::TrueWithNullPayload);
  EXPECT_EQ(pull(), nullptr);
  EXPECT_EQ(upstream.pullRequests(), 1u);
  EXPECT_EQ(allocator.allocateCalls(), 0u);
  SetSourceAnswer(upstream, SourceAnswer::False);
  EXPECT_EQ(pull(), nullptr);
  EXPECT_EQ(upstream.pullRequests(), 2u);
  EXPECT_EQ(allocator.allocateCalls(), 0u);
}

TEST_F(PortsTest, AllocatorReturningNullReleasesTheSourceOnce) {
  ASSERT_TRUE(wire("I420", "BGRA", 16, 8));
  allocatorMemory->setFailing(true);
  EXPECT_EQ(pull(), nullptr);
  EXPECT_EQ(ledger->handedOut(), 1u);
  EXPECT_EQ(ledger->released(), 1u);
  EXPECT_EQ(allocator.bitsAnnouncements(), 1u);
  EXPECT_EQ(allocator.bitsPerPixel(), 32);
}

TEST_F(PortsTest, ConverterRefusalReleasesBothFrames) {
  // BGRA to YUY2 refuses a source of odd width.
  ASSERT_TRUE(wire("BGRA", "YUY2", 15, 8));
  EXPECT_EQ(pull(), nullptr);
  // Both frames given up once, neither left locked (the ledger records a
  // frame released while locked as a problem).
  const pellix::LedgerReport report = ledger->report();
  EXPECT_EQ(report.handedOut, 2u);
  EXPECT_TRUE(report.clean()) << report.describe();
  ASSERT_NE(allocator.lastMade(), nullptr);
  EXPECT_EQ(allocator.lastMade()->dataSize(), 0u);
  EXPECT_EQ(allocator.lastMade()->lockCalls(), 0u);
}

TEST_F(PortsTest, NullVariantPointersAreRefused) {
  input = createInput("I420");
  output = createOutput("BGRA");
  EXPECT_FALSE(input->notify(Connect, nullptr));
  EXPECT_FALSE(output->notify(Connect, nullptr));
  EXPECT_TRUE(output->notify(SetFrameAllocator, nullptr));
  EXPECT_FALSE(input->configure(ImageFormat, nullptr));
  EXPECT_FALSE(output->configure(ImageFormat, nullptr));
  Variant empty = ObjectVariant(nullptr);
  EXPECT_FALSE(input->configure(ImageFormat, &empty));
  EXPECT_FALSE(output->configure(ImageFormat, &empty));
  // The refused Connects stored nothing: pulls still fail once all else is set.
  ASSERT_TRUE(setAllocator(&allocator));
  produceFrames("I420", 16, 8);
  EXPECT_EQ(pull(), nullptr);
  EXPECT_EQ(upstream.pullRequests(), 0u);
  ASSERT_TRUE(connectInput());
  ASSERT_TRUE(connectOutput());
  EXPECT_FALSE(output->request(PullFrame, nullptr));
  EXPECT_EQ(upstream.pullRequests(), 0u);
  HostFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  handBack(frame);
}

TEST_F(PortsTest, UnhandledCodesAndTheInputPortsRequest) {
  ASSERT_TRUE(wire("I420", "BGRA", 16, 8));
  const uint32_t codes[] = {0, 1, PullFrame, ImageFormat, Connect + 1, 0xffffffffu};
  for (uint32_t code : codes) {
    Variant value;
    EXPECT_TRUE(input->query(code, &value)) << code;
    EXPECT_TRUE(output->query(code, &value)) << code;
    EXPECT_FALSE(input->request(code, &value)) << code;
    if (code != ImageFormat) {
      EXPECT_FALSE(input->configure(code, &value)) << code;
      EXPECT_FALSE(output->configure(code, &value)) << code;
    }
    if (code != PullFrame) {
      EXPECT_FALSE(output->request(code, &value)) << code;
    }
    if (code != Connect && code != Disconnect && code != SetFrameAllocator) {
      EXPECT_TRUE(input->notify(code, &value)) << code;
      EXPECT_TRUE(output->notify(code, &value)) << code;
    }
    EXPECT_EQ(value.type, VariantType::Empty) << code;
  }
  // None of that disturbed the connection.
  EXPECT_EQ(upstream.pullRequests(), 0u);
  HostFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  handBack(frame);
}

TEST_F(PortsTest, ImageFormatIsForwardedAsTheCallersVariant) {
  ASSERT_TRUE(wire("I420", "BGRA", 640, 480));
  uint64_t forwarded = downstream.announcements();
  for (Tessel::PortInterface* port : {input, output}) {
    ImageProperties image;
    image.width = -640;
    image.height = -480;
    Variant announcement = ObjectVariant(&image);
    EXPECT_TRUE(port->configure(ImageFormat, &announcement));
    EXPECT_EQ(downstream.announcements(), ++forwarded);
    EXPECT_EQ(downstream.lastAnnouncementValue(), &announcement);
    ASSERT_TRUE(downstream.lastAnnouncement());
    EXPECT_EQ(downstream.lastAnnouncement()->width, -640);
    EXPECT_EQ(downstream.lastAnnouncement()->height, -480);
    EXPECT_EQ(image.height, -480);  // the caller's description is not changed
  }
  downstream.setAnnouncementAnswer(false);
  ImageProperties image;
  Variant announcement = ObjectVariant(&image);
  EXPECT_FALSE(output->configure(ImageFormat, &announcement));
}

// YUY2 to BGRA takes its row count from the component's copy of the image
// description and refuses a negative one, which shows what the copy holds.
TEST_F(PortsTest, OnlyTheOutputPortStoresTheImageSizeUnsigned) {
  ASSERT_TRUE(wire("YUY2", "BGRA", 16, 8));
  ASSERT_TRUE(announce(input, -16, -8));
  EXPECT_EQ(pull(), nullptr);
  ASSERT_TRUE(announce(output, -16, -8));
  HostFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  handBack(frame);
  ASSERT_TRUE(downstream.lastAnnouncement());
  EXPECT_EQ(downstream.lastAnnouncement()->height, -8);
}

TEST_F(PortsTest, ImageFormatBeforeTheOutputIsConnected) {
  input = createInput("I420");
  output = createOutput("BGRA");
  ImageProperties image;
  image.height = -480;
  Variant announcement = ObjectVariant(&image);
  EXPECT_TRUE(output->configure(ImageFormat, &announcement));
  EXPECT_TRUE(input->configure(ImageFormat, &announcement));
  EXPECT_EQ(downstream.announcements(), 0u);
}

// Planar chroma for luma row 1 comes from chroma row 0 on progressive video
// and from chroma row 1 on field-wise video; frames convert progressively.
TEST_F(PortsTest, FramesConvertProgressively) {
  ASSERT_TRUE(wire("I420", "YUY2", 16, 8));
  produce = [this] {
    HostFrame* frame = makeSource("I420", 16, 8);
    uint8_t* u = frame->data() + 16 * 8;
    for (int row = 0; row < 4; ++row)
      for (int x = 0; x < 8; ++x) u[row * 8 + x] = static_cast<uint8_t>(60 + 40 * row);
    return frame;
  };
  HostFrame* frame = pull();
  ASSERT_NE(frame, nullptr);
  const uint8_t* rows = frame->data();
  const int pitch = 2 * 16;
  EXPECT_EQ(rows[1], rows[pitch + 1]);              // rows 0 and 1 share chroma
  EXPECT_NE(rows[pitch + 1], rows[2 * pitch + 1]);  // row 2 has the next chroma row
  handBack(frame);
}

}  // namespace
