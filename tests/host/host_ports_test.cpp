#include <gtest/gtest.h>

#include <stdexcept>

#include "host/frame_layout.h"
#include "host/frame_producers.h"
#include "host/plugin_host.h"
#include "host/sink_port.h"
#include "host/source_port.h"
#include "tests/support/rig/guarded_memory.h"
#include "tests/support/rig/source_answers.h"

namespace pellix {
namespace {

using Tessel::PortMessage::PullFrame;

class HostPortsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    const LedgerReport report = ledger->report();
    EXPECT_TRUE(report.clean()) << report.describe();
  }

  std::shared_ptr<FrameLedger> ledger = std::make_shared<FrameLedger>();
  std::shared_ptr<FramePool> pool = std::make_shared<FramePool>(ledger);
};

TEST_F(HostPortsTest, SourceHandsOutFilledFramesWithOneReference) {
  const FrameLayout layout = LayoutFor(PixelFormat::I420, 6, 2, 6, PlaneRule::Source);
  SourcePort source(MakeFilledFrameProducer(pool, layout, [](HostFrame& frame, const FrameLayout&, uint64_t i) {
    frame.data()[0] = static_cast<uint8_t>(i + 1);
    frame.attribute0 = 40 + static_cast<uint32_t>(i);
  }));
  for (uint64_t i = 0; i < 2; ++i) {
    Tessel::Variant answer;
    ASSERT_TRUE(source.request(PullFrame, &answer));
    EXPECT_EQ(answer.type, Tessel::VariantType::ObjectPtr);
    FrameRef frame(answer.as<Tessel::Frame>());
    auto* host = static_cast<HostFrame*>(frame.get());
    EXPECT_EQ(host->references(), 1);
    EXPECT_EQ(host->data()[0], i + 1);
    EXPECT_EQ(frame->attribute0, 40 + i);
    EXPECT_EQ(frame->imageProperties.stride, 6);
    EXPECT_EQ(frame->dataSize(), layout.bytes);
    EXPECT_EQ(frame->capacity, layout.bytes);
  }
  EXPECT_EQ(source.framesHandedOut(), 2u);
}

TEST_F(HostPortsTest, SourceAnswersInPlaceOfTheProducer) {
  SourcePort source(MakeFilledFrameProducer(pool, LayoutFor(PixelFormat::BGRA, 2, 2, 2), nullptr));
  Tessel::Variant answer;
  answer.setInt32(99);
  SetSourceAnswer(source, SourceAnswer::False);
  EXPECT_FALSE(source.request(PullFrame, &answer));
  EXPECT_EQ(answer.payload.int32, 99) << "a false answer leaves the Variant alone";
  SetSourceAnswer(source, SourceAnswer::TrueWithNullPayload);
  EXPECT_TRUE(source.request(PullFrame, &answer));
  EXPECT_EQ(answer.type, Tessel::VariantType::ObjectPtr);
  EXPECT_EQ(answer.as<Tessel::Frame>(), nullptr);
  EXPECT_FALSE(source.request(PullFrame, nullptr));
  EXPECT_FALSE(source.request(PullFrame + 1, &answer));
  EXPECT_EQ(source.pullRequests(), 2u);
  EXPECT_EQ(ledger->handedOut(), 0u);
}

TEST_F(HostPortsTest, SourceAnswersFalseWhenMemoryRunsOut) {
  auto memory = std::make_shared<GuardedFrameMemory>();
  FrameBufferOptions buffers;
  buffers.memory = memory;
  SourcePort source(MakeFilledFrameProducer(std::make_shared<FramePool>(ledger, buffers),
                                            LayoutFor(PixelFormat::BGRA, 2, 2, 2), nullptr));
  memory->setFailing(true);
  Tessel::Variant answer;
  answer.setInt32(99);
  EXPECT_FALSE(source.request(PullFrame, &answer));
  EXPECT_EQ(answer.payload.int32, 99);
  EXPECT_EQ(source.takeProducerError(), nullptr) << "running out is a refusal, not an error";
  EXPECT_EQ(ledger->handedOut(), 0u);
}

TEST_F(HostPortsTest, ThrowingProducerAnswersFalseAndKeepsTheError) {
  SourcePort source([]() -> Tessel::Frame* { throw std::runtime_error("file ended"); });
  Tessel::Variant answer;
  EXPECT_FALSE(source.request(PullFrame, &answer));
  std::exception_ptr error = source.takeProducerError();
  ASSERT_TRUE(error);
  EXPECT_THROW(std::rethrow_exception(error), std::runtime_error);
  EXPECT_FALSE(source.takeProducerError());
}

TEST_F(HostPortsTest, ThrowingFillerReleasesItsFrame) {
  SourcePort source(MakeFilledFrameProducer(pool, LayoutFor(PixelFormat::BGRA, 2, 2, 2),
                                            [](HostFrame&, const FrameLayout&, uint64_t) {
                                              throw std::runtime_error("short read");
                                            }));
  Tessel::Variant answer;
  EXPECT_FALSE(source.request(PullFrame, &answer));
  EXPECT_EQ(ledger->handedOut(), 1u);
  EXPECT_EQ(ledger->released(), 1u);
}

TEST_F(HostPortsTest, RepeatingProducerAddsOneReferencePerFrame) {
  Tessel::ImageProperties image;
  auto* frame = pool->acquire(16, image);
  SourcePort source(MakeRepeatingProducer(FrameRef(frame)));
  Tessel::Variant first, second;
  ASSERT_TRUE(source.request(PullFrame, &first));
  ASSERT_TRUE(source.request(PullFrame, &second));
  EXPECT_EQ(first.as<Tessel::Frame>(), second.as<Tessel::Frame>());
  EXPECT_EQ(frame->references(), 3);
  first.as<Tessel::Frame>()->release();
  second.as<Tessel::Frame>()->release();
}

// Stands for a component's output port: answers pulls as scripted.
class ScriptedOutputPort final : public Tessel::PortInterface {
 public:
  enum class Answer { Frame, False, TrueNull, WrongType };
  ScriptedOutputPort(FramePool& pool) : pool_(pool) {}
  bool query(uint32_t, Tessel::Variant*) override { return true; }
  bool notify(uint32_t, Tessel::Variant*) override { return true; }
  bool configure(uint32_t, Tessel::Variant*) override { return false; }
  bool request(uint32_t code, Tessel::Variant* value) override {
    if (code != PullFrame) return false;
    Tessel::ImageProperties image;
    switch (answer) {
      case Answer::False: return false;
      case Answer::TrueNull: value->setPointer(Tessel::VariantType::ObjectPtr, nullptr); return true;
      case Answer::WrongType: value->setPointer(Tessel::VariantType::Int32, pool_.acquire(4, image)); return true;
      case Answer::Frame: value->setPointer(Tessel::VariantType::ObjectPtr, pool_.acquire(4, image)); return true;
    }
    return false;
  }
  Answer answer = Answer::Frame;

 private:
  FramePool& pool_;
};

TEST_F(HostPortsTest, SinkPullsAndCountsProtocolErrors) {
  SinkPort sink;
  EXPECT_FALSE(sink.pull()) << "nothing attached";
  ScriptedOutputPort output(*pool);
  sink.attach(&output);
  EXPECT_TRUE(sink.pull());
  output.answer = ScriptedOutputPort::Answer::False;
  EXPECT_FALSE(sink.pull());
  output.answer = ScriptedOutputPort::Answer::TrueNull;
  EXPECT_FALSE(sink.pull());
  output.answer = ScriptedOutputPort::Answer::WrongType;
  EXPECT_TRUE(sink.pull()) << "the reference is taken so it can be given back";
  EXPECT_EQ(sink.protocolErrors(), 2u);
}

TEST_F(HostPortsTest, SinkKeepsTheLastAnnouncement) {
  SinkPort sink;
  Tessel::ImageProperties image;
  image.width = 640;
  image.height = -480;
  Tessel::Variant value;
  value.setPointer(Tessel::VariantType::ObjectPtr, &image);
  EXPECT_FALSE(sink.lastAnnouncement());
  EXPECT_TRUE(sink.configure(Tessel::PortMessage::ImageFormat, &value));
  image.height = 1;
  ASSERT_TRUE(sink.lastAnnouncement());
  EXPECT_EQ(sink.lastAnnouncement()->height, -480);
  sink.setAnnouncementAnswer(false);
  EXPECT_FALSE(sink.configure(Tessel::PortMessage::ImageFormat, &value));
  value.setPointer(Tessel::VariantType::ObjectPtr, nullptr);
  EXPECT_FALSE(sink.configure(Tessel::PortMessage::ImageFormat, &value));
  EXPECT_FALSE(sink.configure(Tessel::PortMessage::ImageFormat, nullptr));
  EXPECT_EQ(sink.announcements(), 2u);
}

// A plug-in object that answers no interface, for the host's notifications.
class IdlePlugin final : public Tessel::Plugin {
 public:
  IdlePlugin() : Plugin(nullptr) {}
  int32_t queryInterface(const Tessel::String<char>&, void** out) override {
    if (out != nullptr) *out = nullptr;
    return 3;
  }
};

TEST(RecordingPluginHost, ChecksOrderPerPluginAndSeesTheCount) {
  RecordingPluginHost host;
  IdlePlugin a;
  IdlePlugin b;
  a.addRef();
  host.onPluginReleasing(&a);
  host.onPluginReleased(&b);
  host.onPluginReleased(&a);
  EXPECT_TRUE(host.releasedCleanly(&a));
  EXPECT_FALSE(host.releasedCleanly(&b));
  const auto events = host.events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].countSeen, 2) << "asked while the object was alive";
  EXPECT_EQ(events[1].countSeen, -1) << "not asked once it is gone";
}

}  // namespace
}  // namespace pellix
