// One plug-in object obtained from a loaded library, driven step by step: each
// operation makes exactly one call across the boundary and returns the
// plug-in's raw answer, so tests can walk every order of steps. The
// destructor performs whatever remains of the stop sequence: Disconnect on
// live ports, destroy them, final releaseRef.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "host/plugin_library.h"
#include "sdk/interfaces.h"

namespace pellix {

enum class PortSide { Input, Output };

// The four published properties, read back as text.
struct ComponentProperties {
  std::string name;  // "Name", converted from UTF-16 to UTF-8
  std::string type;
  std::string inputFormat;   // empty until the input port is created
  std::string outputFormat;
  std::optional<uint32_t> inputFourCC;  // FourCC lookup (Variant preset to Int32)
  std::optional<uint32_t> outputFourCC;
  std::vector<std::string> names;  // getPropertyNames, in the order given
};

class LoadedComponent {
 public:
  // Calls _getPlugin and asks for "tesselhub.interface.transform" and
  // "tesselhub.interface.component". Throws HostError naming the failed step;
  // a plug-in object already obtained is released first.
  LoadedComponent(const PluginLibrary& library, Tessel::PluginHost& host);
  ~LoadedComponent();
  LoadedComponent(const LoadedComponent&) = delete;
  LoadedComponent& operator=(const LoadedComponent&) = delete;

  Tessel::Plugin* plugin() const { return plugin_; }
  Tessel::ComponentInterface* component() const { return component_; }
  Tessel::TransformInterface* transform() const { return transform_; }

  // Port creation by format name; the name text is kept alive for the
  // component as long as this object lives. Null when refused.
  Tessel::PortInterface* createInputPort(const std::string& format, int32_t kind = 2);
  Tessel::PortInterface* createOutputPort(const std::string& format, int32_t kind = 2);
  // Destroys the live port of that side (false if there is none or the
  // plug-in refuses); destroyPort passes any pointer, for refusal tests.
  bool destroyInputPort();
  bool destroyOutputPort();
  bool destroyPort(PortSide side, Tessel::PortInterface* port);
  Tessel::PortInterface* inputPort() const { return inputPort_; }
  Tessel::PortInterface* outputPort() const { return outputPort_; }
  Tessel::PortInterface* port(PortSide side) const { return side == PortSide::Input ? inputPort_ : outputPort_; }

  // Port messages on the live port of a side; false when that port is absent.
  bool connect(PortSide side, Tessel::PortInterface* peer);
  bool disconnect(PortSide side);
  bool setFrameAllocator(Tessel::FrameAllocator* allocator,
                         Tessel::VariantType type = Tessel::VariantType::ObjectPtr);
  bool announce(PortSide side, const Tessel::ImageProperties& image);
  // PullFrame on the output port into the caller's Variant.
  bool pull(Tessel::Variant* answer);

  ComponentProperties readProperties() const;
  // queryInterface result code for an identifier text (0 answered, 3 not).
  int32_t queryInterface(const char* identifier, void** out = nullptr) const;

  // The stop sequence now: Disconnect and destroy live ports, final
  // releaseRef. Returns the count releaseRef answered (0 when the object
  // deleted itself); later calls return 0 and do nothing.
  int32_t shutDown();
  bool alive() const { return plugin_ != nullptr; }

 private:
  Tessel::PortInterface* createPort(PortSide side, const std::string& format, int32_t kind);

  Tessel::Plugin* plugin_ = nullptr;
  Tessel::ComponentInterface* component_ = nullptr;
  Tessel::TransformInterface* transform_ = nullptr;
  Tessel::PortInterface* inputPort_ = nullptr;
  Tessel::PortInterface* outputPort_ = nullptr;
  std::deque<std::string> formatNames_;  // the component keeps pointers into these
};

}  // namespace pellix
