// A stand-in plug-in that refuses one step of the wiring, chosen by the
// environment variable PELLIX_TEST_REFUSE: "input-port", "output-port",
// "connect" or "pull". Everything else is answered like a well-behaved
// component, so the host gets exactly as far as the refused step.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "sdk/interfaces.h"

namespace {

bool Refuses(const char* step) {
  const char* chosen = std::getenv("PELLIX_TEST_REFUSE");
  return chosen != nullptr && std::strcmp(chosen, step) == 0;
}

class RefusingPort final : public Tessel::PortInterface {
 public:
  explicit RefusingPort(bool output) : output_(output) {}
  bool query(uint32_t, Tessel::Variant*) override { return true; }
  bool notify(uint32_t code, Tessel::Variant*) override {
    return !(output_ && code == Tessel::PortMessage::Connect && Refuses("connect"));
  }
  bool request(uint32_t, Tessel::Variant*) override { return false; }  // every pull refused
  bool configure(uint32_t code, Tessel::Variant*) override { return code == Tessel::PortMessage::ImageFormat; }

 private:
  bool output_;
};

class RefusingComponent final : public Tessel::Plugin, public Tessel::TransformComponent {
 public:
  explicit RefusingComponent(Tessel::PluginHost* host) : Plugin(host) {}

  int32_t queryInterface(const Tessel::String<char>& id, void** out) override {
    *out = nullptr;
    if (id == Tessel::InterfaceComponentId) {
      *out = static_cast<Tessel::ComponentInterface*>(this);
    } else if (id == Tessel::InterfaceTransformId) {
      *out = static_cast<Tessel::TransformInterface*>(this);
    } else {
      return 3;
    }
    return 0;
  }
  bool getPropertyNames(std::vector<const char*>*) override { return true; }
  bool getProperty(const char*, Tessel::Variant*) override { return false; }

  Tessel::PortInterface* createInputPort(int32_t, const char*, int32_t) override {
    if (Refuses("input-port") || input_) return nullptr;
    input_ = std::make_unique<RefusingPort>(false);
    return input_.get();
  }
  bool destroyInputPort(Tessel::PortInterface* port) override { return Destroy(input_, port); }
  Tessel::PortInterface* createOutputPort(int32_t, const char*, int32_t) override {
    if (Refuses("output-port") || output_) return nullptr;
    output_ = std::make_unique<RefusingPort>(true);
    return output_.get();
  }
  bool destroyOutputPort(Tessel::PortInterface* port) override { return Destroy(output_, port); }

 private:
  static bool Destroy(std::unique_ptr<RefusingPort>& held, Tessel::PortInterface* port) {
    if (!held || held.get() != port) return false;
    held.reset();
    return true;
  }

  std::unique_ptr<RefusingPort> input_;
  std::unique_ptr<RefusingPort> output_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) int32_t _getPlugin(Tessel::PluginHost* host,
                                                                     Tessel::Plugin** plugin) {
  *plugin = new RefusingComponent(host);
  return 0;
}
