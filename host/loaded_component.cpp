#include "host/loaded_component.h"

#include "host/host_error.h"

namespace pellix {

namespace {

// UTF-16 code units to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(const unsigned short* text) {
  std::string out;
  if (text == nullptr) return out;
  auto put = [&out](uint32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  };
  for (const unsigned short* p = text; *p != 0; ++p) {
    const uint32_t unit = *p;
    if (unit >= 0xD800 && unit < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
      put(0x10000 + ((unit - 0xD800) << 10) + (p[1] - 0xDC00));
      ++p;
    } else if (unit >= 0xD800 && unit < 0xE000) {
      put(0xFFFD);
    } else {
      put(unit);
    }
  }
  return out;
}

std::string TextProperty(const Tessel::ComponentInterface& component, const char* key) {
  Tessel::Variant value;
  if (!const_cast<Tessel::ComponentInterface&>(component).getProperty(key, &value)) return std::string();
  if (value.type == Tessel::VariantType::StringPtr) {
    const auto* text = value.as<Tessel::String<char>>();
    return text == nullptr ? std::string() : text->toStdString();
  }
  if (value.type == Tessel::VariantType::WideStringPtr) {
    const auto* text = value.as<Tessel::String<unsigned short>>();
    return text == nullptr ? std::string() : Utf8FromUtf16(text->data);
  }
  return std::string();
}

std::optional<uint32_t> FourCCProperty(const Tessel::ComponentInterface& component, const char* key) {
  Tessel::Variant value;
  value.type = Tessel::VariantType::Int32;
  if (!const_cast<Tessel::ComponentInterface&>(component).getProperty(key, &value)) return std::nullopt;
  if (value.type != Tessel::VariantType::Int32) return std::nullopt;
  return static_cast<uint32_t>(value.payload.int32);
}

}  // namespace

LoadedComponent::LoadedComponent(const PluginLibrary& library, Tessel::PluginHost& host) {
  Tessel::Plugin* plugin = nullptr;
  const int32_t result = library.getPlugin()(&host, &plugin);
  if (plugin == nullptr) {
    throw HostError("_getPlugin gave no plug-in object (result " + std::to_string(result) + ")");
  }
  plugin_ = plugin;
  void* transform = nullptr;
  void* component = nullptr;
  const bool answered = plugin_->queryInterface(Tessel::InterfaceTransformId, &transform) == 0 &&
                        transform != nullptr &&
                        plugin_->queryInterface(Tessel::InterfaceComponentId, &component) == 0 &&
                        component != nullptr;
  if (result != 0 || !answered) {
    plugin_->releaseRef();
    plugin_ = nullptr;
    if (result != 0) throw HostError("_getPlugin answered " + std::to_string(result) + " instead of 0");
    throw HostError(transform == nullptr ? "plug-in does not answer \"tesselhub.interface.transform\""
                                         : "plug-in does not answer \"tesselhub.interface.component\"");
  }
  transform_ = static_cast<Tessel::TransformInterface*>(transform);
  component_ = static_cast<Tessel::ComponentInterface*>(component);
}

LoadedComponent::~LoadedComponent() { shutDown(); }

int32_t LoadedComponent::shutDown() {
  if (plugin_ == nullptr) return 0;
  if (inputPort_ != nullptr) {
    disconnect(PortSide::Input);
    destroyInputPort();
  }
  if (outputPort_ != nullptr) {
    disconnect(PortSide::Output);
    destroyOutputPort();
  }
  Tessel::Plugin* plugin = plugin_;
  plugin_ = nullptr;
  component_ = nullptr;
  transform_ = nullptr;
  inputPort_ = nullptr;
  outputPort_ = nullptr;
  return plugin->releaseRef();
}

Tessel::PortInterface* LoadedComponent::createPort(PortSide side, const std::string& format, int32_t kind) {
  if (transform_ == nullptr) return nullptr;
  formatNames_.push_back(format);
  const char* name = formatNames_.back().c_str();
  Tessel::PortInterface* port = side == PortSide::Input ? transform_->createInputPort(kind, name, 0)
                                                        : transform_->createOutputPort(kind, name, 0);
  if (port == nullptr) {
    // A refused creation stores nothing, so the text is no longer needed.
    formatNames_.pop_back();
    return nullptr;
  }
  (side == PortSide::Input ? inputPort_ : outputPort_) = port;
  return port;
}

Tessel::PortInterface* LoadedComponent::createInputPort(const std::string& format, int32_t kind) {
  return createPort(PortSide::Input, format, kind);
}

Tessel::PortInterface* LoadedComponent::createOutputPort(const std::string& format, int32_t kind) {
  return createPort(PortSide::Output, format, kind);
}

bool LoadedComponent::destroyPort(PortSide side, Tessel::PortInterface* port) {
  if (transform_ == nullptr) return false;
  const bool destroyed =
      side == PortSide::Input ? transform_->destroyInputPort(port) : transform_->destroyOutputPort(port);
  if (destroyed && port != nullptr) {
    if (port == inputPort_) inputPort_ = nullptr;
    if (port == outputPort_) outputPort_ = nullptr;
  }
  return destroyed;
}

bool LoadedComponent::destroyInputPort() { return inputPort_ != nullptr && destroyPort(PortSide::Input, inputPort_); }

bool LoadedComponent::destroyOutputPort() {
  return outputPort_ != nullptr && destroyPort(PortSide::Output, outputPort_);
}

bool LoadedComponent::connect(PortSide side, Tessel::PortInterface* peer) {
  Tessel::PortInterface* target = port(side);
  if (target == nullptr) return false;
  Tessel::Variant value;
  value.setPointer(Tessel::VariantType::ObjectPtr, peer);
  return target->notify(Tessel::PortMessage::Connect, &value);
}

bool LoadedComponent::disconnect(PortSide side) {
  Tessel::PortInterface* target = port(side);
  if (target == nullptr) return false;
  Tessel::Variant value;
  return target->notify(Tessel::PortMessage::Disconnect, &value);
}

bool LoadedComponent::setFrameAllocator(Tessel::FrameAllocator* allocator, Tessel::VariantType type) {
  if (outputPort_ == nullptr) return false;
  Tessel::Variant value;
  value.setPointer(type, allocator);
  return outputPort_->notify(Tessel::PortMessage::SetFrameAllocator, &value);
}

bool LoadedComponent::announce(PortSide side, const Tessel::ImageProperties& image) {
  Tessel::PortInterface* target = port(side);
  if (target == nullptr) return false;
  Tessel::Variant value;
  // The port only reads the description; the Variant carries no ownership.
  value.setPointer(Tessel::VariantType::ObjectPtr, const_cast<Tessel::ImageProperties*>(&image));
  return target->configure(Tessel::PortMessage::ImageFormat, &value);
}

bool LoadedComponent::pull(Tessel::Variant* answer) {
  return outputPort_ != nullptr && outputPort_->request(Tessel::PortMessage::PullFrame, answer);
}

int32_t LoadedComponent::queryInterface(const char* identifier, void** out) const {
  void* ignored = nullptr;
  if (plugin_ == nullptr) return 3;
  const Tessel::String<char> id(identifier);
  return plugin_->queryInterface(id, out != nullptr ? out : &ignored);
}

ComponentProperties LoadedComponent::readProperties() const {
  ComponentProperties properties;
  if (component_ == nullptr) return properties;
  std::vector<const char*> names;
  if (component_->getPropertyNames(&names)) {
    for (const char* name : names) properties.names.emplace_back(name == nullptr ? "" : name);
  }
  properties.name = TextProperty(*component_, "Name");
  properties.type = TextProperty(*component_, "Type");
  properties.inputFormat = TextProperty(*component_, "InputFormat");
  properties.outputFormat = TextProperty(*component_, "OutputFormat");
  if (inputPort_ != nullptr) properties.inputFourCC = FourCCProperty(*component_, "InputFormat");
  if (outputPort_ != nullptr) properties.outputFourCC = FourCCProperty(*component_, "OutputFormat");
  return properties;
}

}  // namespace pellix
