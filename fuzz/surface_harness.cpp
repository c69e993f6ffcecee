#include "fuzz/surface_harness.h"

#include <cstring>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_bytes.h"
#include "fuzz/fuzz_frames.h"
#include "fuzz/plugin_once.h"
#include "fuzz/surface_ops.h"
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

using Tessel::PortInterface;
using Tessel::Variant;
using Tessel::VariantType;
namespace PortMessage = Tessel::PortMessage;

template <size_t N>
std::string Choose(ByteReader& in, const char* const (&list)[N]) {
  const uint8_t choice = in.byte();
  if (choice < 0x80) return list[choice % N];
  return in.text();
}

bool SameVariant(const Variant& a, const Variant& b) {
  return a.type == b.type && std::memcmp(&a.payload, &b.payload, sizeof a.payload) == 0;
}

// The string a property Variant points to must be whole: a buffer of
// length + 1 elements ending in 0. Reading it all lets the sanitizers see a
// record or buffer that is gone.
template <class T>
bool WholeString(const Tessel::String<T>* text) {
  if (text == nullptr) return false;
  if (text->data == nullptr) return text->length == 0;
  if (text->length < 0) return false;
  int32_t n = 0;
  while (text->data[n] != 0) ++n;
  return n <= text->length && text->data[text->length] == 0;
}

constexpr const char* kAnsweredIdentifiers[] = {"tesselhub.interface.component", "tesselhub.interface.transform",
                                                "tesselhub.component.transform"};
constexpr const char* kOwnKeys[] = {"InputFormat", "Name", "OutputFormat", "Type"};  // key order

SourceFrameRecipe SmallFrames() {
  SourceFrameRecipe recipe;
  recipe.width = 8;
  recipe.height = 4;
  recipe.attribute0 = 0x41000001u;
  recipe.attribute1 = 0x42000001u;
  return recipe;
}

class SurfaceRun {
 public:
  SurfaceRun()
      : ledger_(std::make_shared<FrameLedger>()),
        frames_(ledger_, GuardedBuffers(), PixelFormat::BGRA, {SmallFrames()}, {16, 128, 240, 35, 200}),
        allocator_(ledger_, GuardedBuffers(), {}),
        source_(frames_.producer()) {}

  std::string run(ByteReader& in) {
    auto component = std::make_unique<LoadedComponent>(FuzzedPluginLibrary(), host_);
    const void* identity = component->plugin();
    for (int step = 0; step < kMaxSurfaceOps && !in.empty() && !lost_; ++step) apply(*component, in);
    if (lost_) {
      // Its stop sequence could touch objects that are already gone.
      (void)component.release();
      return problems_.str();
    }
    while (references_ > 1) {
      component->plugin()->releaseRef();
      --references_;
    }
    component.reset();
    if (!host_.releasedCleanly(identity)) fail("the plug-in did not notify its host once before and once after deleting itself");
    for (const std::string& problem : allocator_.problems()) fail(problem);
    const LedgerReport report = ledger_->report();
    if (!report.clean()) fail(report.describe());
    return problems_.str();
  }

 private:
  void fail(const std::string& what) { problems_ << what << '\n'; }
  // After a fault that leaves this host unsure which objects are alive, it
  // stops calling the plug-in (and leaks it) rather than touch freed memory.
  void lose(const std::string& what) {
    fail(what);
    lost_ = true;
  }

  PortInterface* object(ObjectChoice choice, LoadedComponent& component) {
    switch (choice) {
      case ObjectChoice::InputPort: return component.inputPort();
      case ObjectChoice::OutputPort: return component.outputPort();
      case ObjectChoice::SourcePort: return &source_;
      case ObjectChoice::SinkPort: return &sink_;
      default: return nullptr;
    }
  }

  void apply(LoadedComponent& component, ByteReader& in) {
    switch (static_cast<SurfaceOp>(in.byte() % kSurfaceOpCount)) {
      case SurfaceOp::CreateInput: return create(component, in, PortSide::Input);
      case SurfaceOp::CreateOutput: return create(component, in, PortSide::Output);
      case SurfaceOp::DestroyInput: return destroy(component, in, PortSide::Input);
      case SurfaceOp::DestroyOutput: return destroy(component, in, PortSide::Output);
      case SurfaceOp::GetProperty: return getProperty(component, in);
      case SurfaceOp::GetPropertyNames: return getPropertyNames(component, in);
      case SurfaceOp::QueryInterface: return queryInterface(component, in);
      case SurfaceOp::PortCall: return portCall(component, in);
      case SurfaceOp::SetImage:
        image_.width = in.dimension();
        image_.height = in.dimension();
        image_.stride = in.dimension();
        return;
      case SurfaceOp::AddRef:
        if (component.plugin()->addRef() != ++references_) lose("addRef did not answer the new count");
        return;
      case SurfaceOp::ReleaseRef:
        if (references_ > 1 && component.plugin()->releaseRef() != --references_) {
          lose("releaseRef did not answer the new count");
        }
        return;
      case SurfaceOp::CheckIdentity: {
        Tessel::Plugin* plugin = component.plugin();
        if (plugin->refCount() != references_) fail("refCount differs from the references handed out");
        if (plugin->userWord() != 0) fail("userWord is not 0");
        if (plugin->getHost() != &host_) fail("getHost is not the host given to _getPlugin");
        return;
      }
      case SurfaceOp::SourceAnswer: {
        static constexpr SourceAnswer kAnswers[] = {SourceAnswer::Frames, SourceAnswer::TrueWithNullPayload,
                                                    SourceAnswer::False};
        SetSourceAnswer(source_, kAnswers[in.byte() % 3]);
        return;
      }
      case SurfaceOp::AllocatorRefusing:
        allocator_.setRefusing((in.byte() & 1) != 0);
        return;
      case SurfaceOp::SourceFrames: {
        SourceFrameRecipe recipe;
        recipe.read(in);
        frames_.setRecipe(recipe);
        return;
      }
      case SurfaceOp::HostOperation:
        hostOperation(component, in.byte() % 7);
        return;
    }
  }

  void create(LoadedComponent& component, ByteReader& in, PortSide side) {
    const uint8_t kindChoice = in.byte();
    const int32_t kind = kindChoice % 4 == 0 ? static_cast<int32_t>(in.word()) : 2;
    const std::string name = Choose(in, kPortNames);
    PortInterface* live = component.port(side);
    const bool acceptable = live == nullptr && kind == 2 && FormatFromPortName(name.c_str()) != PixelFormat::None;
    PortInterface* port =
        side == PortSide::Input ? component.createInputPort(name, kind) : component.createOutputPort(name, kind);
    if (port != nullptr && live != nullptr) {
      // The host no longer knows which port the component will destroy.
      lose("a second live port was created on one side with \"" + name + "\"");
      return;
    }
    if ((port != nullptr) != acceptable) {
      fail("port creation (kind " + std::to_string(kind) + ", \"" + name + "\") answered " +
           (port ? "a port" : "null"));
    }
  }

  void destroy(LoadedComponent& component, ByteReader& in, PortSide side) {
    PortInterface* pointer = object(static_cast<ObjectChoice>(in.byte() % kObjectChoiceCount), component);
    const bool expected = pointer != nullptr && pointer == component.port(side);
    const bool destroyed = component.destroyPort(side, pointer);
    if (destroyed != expected) {
      lose(std::string("destroying ") + (side == PortSide::Input ? "the input" : "the output") +
           " side's port with another pointer answered " + (destroyed ? "true" : "false"));
    }
  }

  void getProperty(LoadedComponent& component, ByteReader& in) {
    const std::string key = Choose(in, kPropertyKeys);
    Variant value;
    value.type = static_cast<VariantType>(in.byte());
    value.payload.int64 = static_cast<int64_t>(uint64_t{in.word()} * 0x100000001ull);
    const Variant before = value;
    const bool found = component.component()->getProperty(key.c_str(), &value);
    if (!found) {
      if (!SameVariant(value, before)) fail("a lookup of absent key \"" + key + "\" wrote the Variant");
      return;
    }
    bool own = false;
    for (const char* k : kOwnKeys) own = own || std::strcmp(k, key.c_str()) == 0;
    if (!own) fail("a lookup of \"" + key + "\" answered true");
    if (value.type == VariantType::StringPtr && !WholeString(value.as<Tessel::String<char>>())) {
      fail("\"" + key + "\" answered a broken string record");
    }
    if (value.type == VariantType::WideStringPtr && !WholeString(value.as<Tessel::String<unsigned short>>())) {
      fail("\"" + key + "\" answered a broken wide string record");
    }
  }

  void getPropertyNames(LoadedComponent& component, ByteReader& in) {
    static const char kHostEntry[] = "host entry";
    std::vector<const char*> names(in.byte() % 4, kHostEntry);
    const size_t before = names.size();
    if (!component.component()->getPropertyNames(&names)) fail("getPropertyNames answered false");
    bool asExpected = names.size() == before + 4;
    for (size_t i = 0; asExpected && i < names.size(); ++i) {
      asExpected = i < before ? names[i] == kHostEntry
                              : names[i] != nullptr && std::strcmp(names[i], kOwnKeys[i - before]) == 0;
    }
    if (!asExpected) fail("getPropertyNames did not append the four keys in order after the caller's entries");
  }

  void queryInterface(LoadedComponent& component, ByteReader& in) {
    // The plug-in sees the text up to its first 0 byte.
    const std::string id = Choose(in, kIdentifiers).c_str();
    const Tessel::String<char> text(id.c_str());
    void* out = reinterpret_cast<void*>(uintptr_t{0x5A5A5A5A});
    const int32_t before = component.plugin()->refCount();
    const int32_t result = component.plugin()->queryInterface(text, &out);
    bool answered = false;
    for (const char* a : kAnsweredIdentifiers) answered = answered || id == a;
    if (answered ? (result != 0 || out == nullptr) : (result != 3 || out != nullptr)) {
      fail("queryInterface(\"" + id + "\") answered " + std::to_string(result) + (out ? " with" : " without") +
           " an interface");
    }
    if (component.plugin()->refCount() != before) fail("queryInterface changed the reference count");
  }

  // A payload of the kind the code expects, or one the plug-in must not read.
  void choosePayload(uint32_t code, uint8_t choice, uint32_t raw, Variant& value) {
    void* pointer = nullptr;
    switch (code) {
      case PortMessage::Connect: {
        static constexpr ObjectChoice kPeers[] = {ObjectChoice::Null, ObjectChoice::SourcePort,
                                                  ObjectChoice::SinkPort};
        const ObjectChoice peer = kPeers[choice % 3];
        pointer = peer == ObjectChoice::SourcePort ? static_cast<PortInterface*>(&source_)
                  : peer == ObjectChoice::SinkPort ? static_cast<PortInterface*>(&sink_)
                                                   : nullptr;
        break;
      }
      case PortMessage::SetFrameAllocator:
        pointer = choice % 2 ? static_cast<Tessel::FrameAllocator*>(&allocator_) : nullptr;
        break;
      case PortMessage::ImageFormat:
        pointer = choice % 2 ? &image_ : nullptr;
        break;
      default:
        // Not read by any port: any bits will do.
        value.payload.int64 = static_cast<int64_t>(raw) * 0x10001ll;
        return;
    }
    value.payload.pointer = pointer;
  }

  void portCall(LoadedComponent& component, ByteReader& in) {
    const uint8_t target = in.byte();
    const PortSide side = target & 1 ? PortSide::Output : PortSide::Input;
    const int operation = (target >> 1) & 3;
    const bool nullVariant = (target & 8) != 0;
    uint32_t code = 0;
    const uint8_t codeChoice = in.byte() % 8;
    if (codeChoice < 5) {
      code = kKnownCodes[codeChoice];
    } else if (codeChoice == 5) {
      code = in.word();
    } else if (codeChoice == 6) {
      code = kKnownCodes[in.byte() % 5];
      code ^= 1u << (in.byte() % 32);
    }
    Variant value;
    value.type = static_cast<VariantType>(in.byte());
    const uint8_t payloadChoice = in.byte();
    choosePayload(code, payloadChoice, payloadChoice * 0x01010101u, value);

    PortInterface* port = component.port(side);
    if (port == nullptr) return;
    Variant* argument = nullVariant ? nullptr : &value;
    const Variant before = value;
    bool answer = false;
    switch (operation) {
      case 0: answer = port->query(code, argument); break;
      case 1: answer = port->notify(code, argument); break;
      case 2: answer = port->request(code, argument); break;
      default: answer = port->configure(code, argument); break;
    }
    if (argument == nullptr || SameVariant(value, before)) return;
    // Only a successful request may write the Variant, and then only with a
    // frame this host handed out.
    auto* frame = static_cast<Tessel::Frame*>(value.payload.pointer);
    const bool ours = frame != nullptr && (frames_.made(frame) || allocator_.made(frame));
    if (operation != 2 || !answer) {
      fail("operation " + std::to_string(operation) + " with code " + std::to_string(code) +
           " wrote the caller's Variant" + (answer ? "" : " and answered false"));
    }
    if (ours) {
      FrameRef received(frame);
    } else if (frame != nullptr) {
      lose("a port answered with a frame pointer this host never handed out");
    }
  }

  void hostOperation(LoadedComponent& component, int slot) {
    Tessel::ComponentInterface* c = component.component();
    bool answer = false;
    switch (slot) {
      case 0: answer = c->hostOperation1(1); break;
      case 1: answer = c->hostOperation2(); break;
      case 2: answer = c->hostOperation3(1, 2); break;
      case 3: answer = c->hostOperation4(1, 2); break;
      case 4: answer = c->hostOperation5(1, 2); break;
      case 5: answer = c->hostOperation6(1, 2); break;
      default: answer = !c->hostOperation7(1, 2, 3, 4, 5); break;
    }
    if (!answer) fail("ComponentInterface slot " + std::to_string(slot + 1) + " does not answer as the SDK body");
  }

  std::shared_ptr<FrameLedger> ledger_;
  RecordingPluginHost host_;
  FuzzFrameSource frames_;
  FuzzFrameAllocator allocator_;
  SourcePort source_;
  SinkPort sink_;
  Tessel::ImageProperties image_;
  int32_t references_ = 1;
  bool lost_ = false;
  std::ostringstream problems_;
};

}  // namespace

std::string RunSurfaceInput(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  SurfaceRun run;
  return run.run(in);
}

}  // namespace pellix::fuzz
