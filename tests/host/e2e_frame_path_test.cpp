// Connection state, the pull and its failure paths, image announcements.
#include "tests/host/e2e_fixture.h"

#include "colorconv/routines.h"
#include "formats/format_names.h"
#include "host/host_error.h"

namespace pellix {
namespace e2e {
namespace {

using Tessel::PortMessage::PullFrame;
using FramePathTest = PluginTest;

// A graph wired in the usual order for `input` -> `output` at w x h.
struct WiredGraph : RawGraph {
  WiredGraph(const std::shared_ptr<FrameLedger>& ledger, const char* input, const char* output, int32_t w,
             int32_t h)
      : RawGraph(ledger, FormatFromPortName(input), w, h) {
    EXPECT_NE(component.createInputPort(input), nullptr);
    EXPECT_NE(component.createOutputPort(output), nullptr);
    EXPECT_TRUE(component.connect(PortSide::Input, &source));
    sink.attach(component.outputPort());
    EXPECT_TRUE(component.connect(PortSide::Output, &sink));
    EXPECT_TRUE(component.setFrameAllocator(&allocator));
    image.width = w;
    image.height = h;
    image.stride = sourceLayout.stride;
    EXPECT_TRUE(component.announce(PortSide::Output, image));
  }
  Tessel::ImageProperties image;
};

TEST_F(FramePathTest, Yuy2ToBgraConvertsAfterConnect) {
  WiredGraph graph(ledger, "YUY2", "BGRA", 16, 8);
  FrameRef frame = graph.pull();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->dataSize(), 16u * 8u * 4u);
  EXPECT_EQ(graph.source.framesHandedOut(), 1u);
  EXPECT_EQ(graph.allocator.bitsPerPixel(), 32);
}

TEST_F(FramePathTest, OutputConnectBeforeTheInputPortSelectsNothing) {
  RawGraph graph(ledger, PixelFormat::I420, 16, 8);
  ASSERT_NE(graph.component.createOutputPort("BGRA"), nullptr);
  EXPECT_TRUE(graph.component.setFrameAllocator(&graph.allocator));
  EXPECT_FALSE(graph.component.connect(PortSide::Output, &graph.sink));
  ASSERT_NE(graph.component.createInputPort("I420"), nullptr);
  EXPECT_TRUE(graph.component.connect(PortSide::Input, &graph.source));
  EXPECT_FALSE(graph.pull());
  EXPECT_EQ(graph.source.pullRequests(), 0u);
  EXPECT_TRUE(graph.component.connect(PortSide::Output, &graph.sink));
  EXPECT_TRUE(graph.pull());
}

TEST_F(FramePathTest, SameFormatWithoutEarlierConverterNeverPulls) {
  RawGraph graph(ledger, PixelFormat::YV12, 16, 8);
  ASSERT_NE(graph.component.createInputPort("YV12"), nullptr);
  ASSERT_NE(graph.component.createOutputPort("YV12"), nullptr);
  EXPECT_TRUE(graph.component.connect(PortSide::Input, &graph.source));
  EXPECT_FALSE(graph.component.connect(PortSide::Output, &graph.sink));
  EXPECT_TRUE(graph.component.setFrameAllocator(&graph.allocator));
  EXPECT_FALSE(graph.pull());
  EXPECT_FALSE(graph.pull());
  EXPECT_EQ(graph.source.pullRequests(), 0u);
}

TEST_F(FramePathTest, SameFormatWithEarlierConverterPassesTheFrameThrough) {
  WiredGraph graph(ledger, "I420", "BGRA", 16, 8);
  ASSERT_TRUE(graph.component.destroyOutputPort());
  ASSERT_NE(graph.component.createOutputPort("I420"), nullptr);
  EXPECT_FALSE(graph.component.connect(PortSide::Output, &graph.sink)) << "a refused pair keeps the converter";
  FrameRef frame = graph.pull();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->imageProperties.stride, graph.sourceLayout.stride);
  EXPECT_EQ(frame->dataSize(), graph.sourceLayout.bytes) << "the upstream frame itself, unchanged";
  EXPECT_EQ(graph.allocator.allocateCalls(), 0u);
  EXPECT_EQ(ledger->handedOut(), 1u);
}

TEST_F(FramePathTest, NoAllocatorMeansNoUpstreamCall) {
  RawGraph graph(ledger, PixelFormat::I420, 16, 8);
  ASSERT_NE(graph.component.createInputPort("I420"), nullptr);
  ASSERT_NE(graph.component.createOutputPort("UYVY"), nullptr);
  EXPECT_TRUE(graph.component.connect(PortSide::Input, &graph.source));
  EXPECT_TRUE(graph.component.connect(PortSide::Output, &graph.sink));
  EXPECT_FALSE(graph.pull());
  EXPECT_TRUE(graph.component.setFrameAllocator(&graph.allocator, Tessel::VariantType::Int32));
  EXPECT_FALSE(graph.pull()) << "an allocator under type 6 is ignored";
  EXPECT_EQ(graph.source.pullRequests(), 0u);
  EXPECT_TRUE(graph.component.setFrameAllocator(&graph.allocator));
  EXPECT_TRUE(graph.pull());
}

TEST_F(FramePathTest, DisconnectOnEitherPortStopsPullsBeforeUpstream) {
  for (PortSide side : {PortSide::Input, PortSide::Output}) {
    WiredGraph graph(ledger, "BGRA", "YV12", 16, 8);
    EXPECT_TRUE(graph.pull());
    EXPECT_TRUE(graph.component.disconnect(side));
    EXPECT_FALSE(graph.pull());
    EXPECT_EQ(graph.source.pullRequests(), 1u);
    // Reconnecting both restores the path.
    EXPECT_TRUE(graph.component.connect(PortSide::Input, &graph.source));
    EXPECT_TRUE(graph.component.connect(PortSide::Output, &graph.sink));
    EXPECT_TRUE(graph.pull());
  }
}

TEST_F(FramePathTest, UpstreamTrueWithNullPayloadReleasesNothing) {
  WiredGraph graph(ledger, "UYVY", "I420", 16, 8);
  SetSourceAnswer(graph.source, SourceAnswer::TrueWithNullPayload);
  Tessel::Variant answer;
  answer.setInt32(5);
  EXPECT_FALSE(graph.component.pull(&answer));
  EXPECT_EQ(answer.type, Tessel::VariantType::Int32) << "a failed pull leaves the caller's Variant alone";
  EXPECT_EQ(answer.payload.int32, 5);
  EXPECT_EQ(graph.allocator.allocateCalls(), 0u);
  SetSourceAnswer(graph.source, SourceAnswer::False);
  EXPECT_FALSE(graph.pull());
  EXPECT_EQ(ledger->handedOut(), 0u);
}

TEST_F(FramePathTest, AllocatorReturningNullReleasesTheSourceOnce) {
  WiredGraph graph(ledger, "I420", "YUY2", 16, 8);
  graph.allocatorMemory->setFailing(true);
  EXPECT_FALSE(graph.pull());
  EXPECT_EQ(graph.allocator.allocateCalls(), 1u);
  EXPECT_EQ(ledger->handedOut(), 1u);
  EXPECT_EQ(ledger->released(), 1u);
  EXPECT_EQ(ledger->problemCount(), 0u);
}

TEST_F(FramePathTest, RefusedGeometryReleasesBothFrames) {
  // BGRA of odd width has no 4:2:2 layout.
  WiredGraph graph(ledger, "BGRA", "YUY2", 5, 4);
  EXPECT_FALSE(graph.pull());
  EXPECT_EQ(graph.allocator.framesMade(), 1u);
  EXPECT_EQ(ledger->handedOut(), 2u);
  EXPECT_EQ(ledger->released(), 2u);
}

TEST_F(FramePathTest, ConvertedFramesCarryDataSizeAndAttributes) {
  struct Case {
    const char* input;
    const char* output;
    uint32_t dataSize;
  };
  for (const Case& c : {Case{"I420", "BGRA", 1228800}, Case{"BGRA", "I420", 460800}}) {
    ConversionSession session(Library(), Options(c.input, c.output, 640, 480), ledger);
    for (uint32_t index = 0; index < 2; ++index) {
      FrameRef frame = session.pull();
      EXPECT_EQ(frame->dataSize(), c.dataSize) << c.input << " -> " << c.output;
      EXPECT_EQ(frame->attribute0, 1000 + index);
      EXPECT_EQ(frame->attribute1, 2000 + index);
    }
  }
}

TEST_F(FramePathTest, OutputPortClearsSignsOnlyInItsOwnCopy) {
  const int32_t w = 16, h = 8;
  auto pool = std::make_shared<FramePool>(ledger);
  FrameRef source = MakeSourceFrame(*pool, PixelFormat::YUY2, w, h, 3);
  for (PortSide side : {PortSide::Output, PortSide::Input}) {
    SessionOptions options = Options("YUY2", "BGRA", w, h);
    options.producer = MakeRepeatingProducer(source.share());
    Tessel::ImageProperties announced;
    announced.width = w;
    announced.height = -h;
    announced.stride = w;
    options.announced = announced;
    options.announceOn = side;
    ConversionSession session(Library(), options, ledger);
    ASSERT_TRUE(session.sink().lastAnnouncement());
    EXPECT_EQ(session.sink().lastAnnouncement()->height, -h) << "forwarded as announced";
    FrameRef frame = session.tryPull();
    if (side == PortSide::Output) {
      // The packed-to-BGRA routine takes its row count from the component's copy.
      ASSERT_TRUE(frame);
      Tessel::ImageProperties positive = announced;
      positive.height = h;
      const std::vector<uint8_t> expected = ExpectedConversion(PixelFormat::YUY2, PixelFormat::BGRA, *source,
                                                               positive, frame->imageProperties.stride,
                                                               frame->capacity);
      EXPECT_TRUE(SameBytes(FrameBytes(*frame), expected));
    } else {
      // The input port keeps -8: the converter refuses a negative row count.
      EXPECT_FALSE(frame);
    }
  }
}

TEST_F(FramePathTest, AnnouncementBeforeOutputConnectIsKeptAndAnsweredTrue) {
  RawGraph graph(ledger, PixelFormat::YUY2, 8, 4);
  ASSERT_NE(graph.component.createInputPort("YUY2"), nullptr);
  ASSERT_NE(graph.component.createOutputPort("BGRA"), nullptr);
  Tessel::ImageProperties image;
  image.width = 8;
  image.height = 4;
  image.stride = 8;
  EXPECT_TRUE(graph.component.announce(PortSide::Output, image));
  EXPECT_EQ(graph.sink.announcements(), 0u);
  EXPECT_TRUE(graph.component.connect(PortSide::Input, &graph.source));
  EXPECT_TRUE(graph.component.connect(PortSide::Output, &graph.sink));
  EXPECT_TRUE(graph.component.setFrameAllocator(&graph.allocator));
  // A null payload changes nothing: the 8 x 4 description still drives the rows.
  Tessel::Variant empty;
  empty.setPointer(Tessel::VariantType::ObjectPtr, nullptr);
  EXPECT_FALSE(graph.component.outputPort()->configure(Tessel::PortMessage::ImageFormat, &empty));
  EXPECT_FALSE(graph.component.outputPort()->configure(Tessel::PortMessage::ImageFormat, nullptr));
  FrameRef frame = graph.pull();
  ASSERT_TRUE(frame);
  const std::vector<uint8_t> bytes = FrameBytes(*frame);
  EXPECT_EQ(bytes.size(), 8u * 4u * 4u);
  for (size_t i = 3; i < bytes.size(); i += 4) ASSERT_EQ(bytes[i], 255) << "pixel " << i / 4 << " not written";
}

TEST_F(FramePathTest, NullVariantsAndUnhandledCodes) {
  WiredGraph graph(ledger, "YV12", "BGRA", 8, 4);
  Tessel::PortInterface* input = graph.component.inputPort();
  Tessel::PortInterface* output = graph.component.outputPort();
  Tessel::Variant value;
  EXPECT_FALSE(output->notify(Tessel::PortMessage::Connect, nullptr));
  EXPECT_FALSE(input->notify(Tessel::PortMessage::Connect, nullptr));
  EXPECT_FALSE(output->request(PullFrame, nullptr));
  EXPECT_FALSE(input->request(PullFrame, &value));
  EXPECT_FALSE(input->configure(Tessel::PortMessage::ImageFormat, nullptr));
  for (Tessel::PortInterface* port : {input, output}) {
    EXPECT_TRUE(port->query(0x12345678u, &value));
    EXPECT_TRUE(port->notify(0x12345678u, &value));
    EXPECT_FALSE(port->request(0x12345678u, &value));
    EXPECT_FALSE(port->configure(0x12345678u, &value));
  }
  EXPECT_EQ(value.type, Tessel::VariantType::Empty);
  EXPECT_TRUE(graph.pull()) << "the refused messages left the connections alone";
}

TEST_F(FramePathTest, ProducerErrorSurfacesFromTheSessionPull) {
  SessionOptions options = Options("BGRA", "UYVY", 8, 4);
  options.producer = []() -> Tessel::Frame* { throw std::runtime_error("input file ended"); };
  ConversionSession session(Library(), options, ledger);
  try {
    session.pull();
    FAIL() << "pull succeeded";
  } catch (const HostError& error) {
    EXPECT_STREQ(error.what(), "pull failed: the source producer threw: input file ended");
  }
  SetSourceAnswer(session.source(), SourceAnswer::False);
  EXPECT_THROW(session.pull(), HostError);
}

}  // namespace
}  // namespace e2e
}  // namespace pellix
