#include "fuzz/frame_path_harness.h"

#include <cstring>
#include <memory>
#include <optional>
#include <sstream>

#include "fuzz/frame_path_plan.h"
#include "fuzz/fuzz_frames.h"
#include "fuzz/plugin_once.h"
#include "formats/format_names.h"
#include "host/frame_layout.h"
#include "host/frame_ledger.h"
#include "host/frame_ref.h"
#include "host/loaded_component.h"
#include "host/plugin_host.h"
#include "host/sink_port.h"
#include "host/source_port.h"
#include "tests/support/rig/guarded_memory.h"
#include "tests/support/rig/source_answers.h"

namespace pellix::fuzz {

namespace {

using Tessel::Variant;
using Tessel::VariantType;

FrameBufferOptions BuffersFor(BufferMode mode) {
  FrameBufferOptions options;
  if (mode != BufferMode::Heap) {
    options = GuardedBuffers(mode == BufferMode::GuardAtStart ? GuardedBuffer::Edge::Start : GuardedBuffer::Edge::End);
  }
  options.recycle = false;  // a late touch of a released frame then faults
  return options;
}

// The format of the source frames: the input port's, or I420 for a name the
// plug-in refuses (no frames are pulled then).
PixelFormat SourceFormatOf(const char* inputName) {
  const PixelFormat format = FormatFromPortName(inputName);
  return format == PixelFormat::None ? PixelFormat::I420 : format;
}

// A Variant no port would write: a refused pull must leave it exactly so.
Variant SentinelVariant() {
  Variant v;
  v.type = static_cast<VariantType>(0x5A);
  v.payload.int64 = 0x1122334455667788;
  return v;
}

bool SameVariant(const Variant& a, const Variant& b) {
  return a.type == b.type && std::memcmp(&a.payload, &b.payload, sizeof a.payload) == 0;
}

SourceAnswer AnswerFor(SourceBehaviour behaviour) {
  switch (behaviour) {
    case SourceBehaviour::TrueWithNullFrame: return SourceAnswer::TrueWithNullPayload;
    case SourceBehaviour::False: return SourceAnswer::False;
    default: return SourceAnswer::Frames;
  }
}

class FramePathRun {
 public:
  explicit FramePathRun(const FramePathPlan& plan)
      : plan_(plan),
        ledger_(std::make_shared<FrameLedger>()),
        frames_(ledger_, BuffersFor(plan.bufferMode()),
                SourceFormatOf(kFormatNames[plan.inputName]), plan.sources,
                plan.pixels),
        allocator_(ledger_, BuffersFor(plan.bufferMode()), plan.destinations),
        source_(frames_.producer()) {}

  std::string run() {
    const void* identity = nullptr;
    {
      LoadedComponent component(FuzzedPluginLibrary(), host_);
      identity = component.plugin();
      drive(component);
      component.shutDown();
    }
    if (!host_.releasedCleanly(identity)) fail("the plug-in did not notify its host once before and once after deleting itself");
    for (const std::string& problem : allocator_.problems()) fail(problem);
    const LedgerReport report = ledger_->report();
    if (!report.clean()) fail(report.describe());
    return problems_.str();
  }

 private:
  void fail(const std::string& what) { problems_ << what << '\n'; }

  // Creates a port and checks the plug-in accepted exactly the names its
  // parser accepts; keeps track of the side's format code.
  void create(LoadedComponent& component, PortSide side, uint8_t nameIndex) {
    const std::string name = kFormatNames[nameIndex];
    const PixelFormat expected = FormatFromPortName(name.c_str());
    Tessel::PortInterface* port =
        side == PortSide::Input ? component.createInputPort(name) : component.createOutputPort(name);
    if ((port != nullptr) != (expected != PixelFormat::None)) {
      fail("port creation with \"" + name + "\" answered " + (port ? "a port" : "null"));
    }
    if (port != nullptr && expected != PixelFormat::None) {
      (side == PortSide::Input ? inputCode_ : outputCode_) = expected;
    }
  }

  void announce(LoadedComponent& component) {
    Tessel::ImageProperties image;
    image.width = plan_.announcedWidth;
    image.height = plan_.announcedHeight;
    image.stride = plan_.announcedStride;
    if (plan_.flags & FramePathFlags::AnnounceOnInput) component.announce(PortSide::Input, image);
    if (plan_.flags & FramePathFlags::AnnounceOnOutput) component.announce(PortSide::Output, image);
  }

  void drive(LoadedComponent& component) {
    create(component, PortSide::Input, plan_.inputName);
    create(component, PortSide::Output, plan_.outputName);
    const bool announceEarly = (plan_.flags & FramePathFlags::AnnounceBeforeConnect) != 0;
    if (announceEarly) announce(component);
    component.connect(PortSide::Input, &source_);
    component.connect(PortSide::Output, &sink_);
    if (plan_.flags & FramePathFlags::ConnectOutputTwice) component.connect(PortSide::Output, &sink_);
    if (!(plan_.flags & FramePathFlags::NoAllocator)) {
      if (plan_.flags & FramePathFlags::AllocatorWrongTypeFirst) {
        component.setFrameAllocator(&allocator_, VariantType::Int32);
      }
      component.setFrameAllocator(&allocator_);
    }
    if (!announceEarly) announce(component);
    recreate(component);

    const size_t disconnectAt = (plan_.disconnect >> 1) % 8;
    for (size_t i = 0; i < plan_.pulls(); ++i) {
      const PortSide side = plan_.disconnect & 1 ? PortSide::Output : PortSide::Input;
      if (i == disconnectAt && component.port(side) != nullptr) {
        component.disconnect(side);
        disconnected_ = true;
      }
      pull(component, i);
    }
  }

  void recreate(LoadedComponent& component) {
    switch (plan_.recreate) {
      case RecreateStep::None:
        return;
      case RecreateStep::InputAsOutput:
        component.destroyInputPort();
        create(component, PortSide::Input, plan_.outputName);
        return;
      case RecreateStep::Output:
        component.destroyOutputPort();
        create(component, PortSide::Output, plan_.recreateName);
        return;
      case RecreateStep::Input:
        component.destroyInputPort();
        create(component, PortSide::Input, plan_.recreateName);
        return;
    }
  }

  void pull(LoadedComponent& component, size_t index) {
    const SourceFrameRecipe& recipe = plan_.sources[index];
    SetSourceAnswer(source_, AnswerFor(recipe.behaviour));
    const uint64_t requestsBefore = source_.pullRequests();
    const HostFrame* sourceBefore = frames_.lastMade();
    const HostFrame* destinationBefore = allocator_.lastMade();
    const Variant sentinel = SentinelVariant();
    Variant answer = sentinel;
    const bool ok = component.pull(&answer);
    const std::string which = "pull " + std::to_string(index) + ": ";

    if (disconnected_ && source_.pullRequests() != requestsBefore) {
      fail(which + "after Disconnect the plug-in still pulled from its upstream port");
    }
    if (!ok) {
      if (!SameVariant(answer, sentinel)) fail(which + "a refused pull wrote the caller's Variant");
      return;
    }
    if (disconnected_) fail(which + "answered true after Disconnect");

    auto* frame = static_cast<Tessel::Frame*>(answer.payload.pointer);
    const bool passThrough = inputCode_ == outputCode_;
    const HostFrame* sourceFrame = frames_.lastMade() != sourceBefore ? frames_.lastMade() : nullptr;
    if (frame == nullptr) {
      if (!(passThrough && recipe.behaviour == SourceBehaviour::TrueWithNullFrame)) {
        fail(which + "answered true without a frame");
      }
      return;
    }
    if (answer.type != VariantType::ObjectPtr) fail(which + "frame handed over without the object type");
    const bool fromAllocator = allocator_.made(frame) && allocator_.lastMade() != destinationBefore &&
                               frame == allocator_.lastMade();
    const bool fromSource = frames_.made(frame) && frame == sourceFrame;
    if (!fromAllocator && !fromSource) {
      fail(which + "answered with a frame this host did not hand out for the pull");
      return;  // not ours: neither read nor released
    }
    FrameRef received(frame);
    if (passThrough != fromSource) {
      fail(which + (passThrough ? "converted although both sides carry the same format"
                                : "passed the source frame through unconverted"));
    }
    if (fromAllocator) checkConverted(*frame, sourceFrame, which);
  }

  void checkConverted(Tessel::Frame& converted, const HostFrame* sourceFrame, const std::string& which) {
    if (sourceFrame == nullptr) {
      fail(which + "converted a frame without pulling one from upstream");
      return;
    }
    if (converted.attribute0 != sourceFrame->attribute0 || converted.attribute1 != sourceFrame->attribute1) {
      fail(which + "the converted frame does not carry its source's attributes");
    }
    if (converted.dataSize() > converted.capacity) {
      std::ostringstream out;
      out << which << "dataSize " << converted.dataSize() << " beyond the frame's capacity " << converted.capacity
          << " (" << converted.imageProperties.width << "x" << converted.imageProperties.height << " stride "
          << converted.imageProperties.stride << ")";
      fail(out.str());
    }
  }

  const FramePathPlan& plan_;
  std::shared_ptr<FrameLedger> ledger_;
  RecordingPluginHost host_;
  FuzzFrameSource frames_;
  FuzzFrameAllocator allocator_;
  SourcePort source_;
  SinkPort sink_;
  PixelFormat inputCode_ = PixelFormat::None;
  PixelFormat outputCode_ = PixelFormat::None;
  bool disconnected_ = false;
  std::ostringstream problems_;
};

}  // namespace

std::string RunFramePathInput(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  FramePathPlan plan;
  plan.read(in);
  FramePathRun run(plan);
  return run.run();
}

}  // namespace pellix::fuzz
