#include "component/color_transform.h"

#include <memory>

#include "component/four_cc.h"
#include "component/ports.h"
#include "component/property_keys.h"
#include "formats/format_names.h"

using pellix::kInputFormatKey;
using pellix::kNameKey;
using pellix::kOutputFormatKey;
using pellix::kTypeKey;
using Tessel::String;
using Tessel::Variant;
using Tessel::VariantType;

namespace {

constexpr char kDisplayName[] = "Pellix Color Space Transform Filter";
constexpr char kComponentType[] = "Video|Transform|ColorSpace";

// Port creation accepts only this kind code.
constexpr int32_t kPortKind = 2;

// The display name as 16-bit code units; the text is ASCII.
String<unsigned short>* NewWideDisplayName() {
  unsigned short wide[sizeof kDisplayName];
  for (size_t i = 0; i < sizeof kDisplayName; ++i) wide[i] = static_cast<unsigned char>(kDisplayName[i]);
  return new String<unsigned short>(wide);
}

void DeleteStringRecord(Variant& value) noexcept {
  if (value.payload.pointer == nullptr) return;
  if (value.type == VariantType::WideStringPtr) {
    auto* record = value.as<String<unsigned short>>();
    record->clear();
    delete record;
  } else if (value.type == VariantType::StringPtr) {
    auto* record = value.as<String<char>>();
    record->clear();
    delete record;
  }
  value.payload.pointer = nullptr;
}

}  // namespace

PellixColorTransform::PellixColorTransform(Tessel::PluginHost* host) : Tessel::Plugin(host) {
  // Each entry exists (zeroed) before its record is made, so a failed
  // allocation leaves only records that releasePropertyStrings can find.
  try {
    properties[kNameKey].setPointer(VariantType::WideStringPtr, NewWideDisplayName());
    properties[kTypeKey].setPointer(VariantType::StringPtr, new String<char>(kComponentType));
    properties[kInputFormatKey].setPointer(VariantType::StringPtr, new String<char>());
    properties[kOutputFormatKey].setPointer(VariantType::StringPtr, new String<char>());
  } catch (...) {
    releasePropertyStrings();
    throw;
  }
}

PellixColorTransform::~PellixColorTransform() {
  releasePropertyStrings();
  // The component owns its ports; a host that releases it with ports still
  // alive must not leak them (nobody can use them once the owner is gone).
  delete inputPort;
  delete outputPort;
}

void PellixColorTransform::releasePropertyStrings() noexcept {
  for (const char* key : {kNameKey, kTypeKey, kInputFormatKey, kOutputFormatKey}) {
    const auto entry = properties.find(key);
    if (entry != properties.end()) DeleteStringRecord(entry->second);
  }
}

int32_t PellixColorTransform::queryInterface(const String<char>& id, void** out) {
  if (out == nullptr) return 3;
  *out = nullptr;
  if (id == Tessel::InterfaceComponentId) {
    *out = static_cast<void*>(static_cast<Tessel::ComponentInterface*>(this));
  } else if (id == Tessel::InterfaceTransformId) {
    *out = static_cast<void*>(static_cast<Tessel::TransformInterface*>(this));
  } else if (id == Tessel::ComponentTransformId) {
    *out = static_cast<void*>(static_cast<Tessel::TransformComponent*>(this));
  } else {
    return 3;
  }
  return 0;
}

bool PellixColorTransform::getPropertyNames(std::vector<const char*>* names) {
  if (names == nullptr) return false;
  names->reserve(names->size() + properties.size());
  for (const auto& entry : properties) names->push_back(entry.first);
  return true;
}

bool PellixColorTransform::getProperty(const char* key, Variant* value) {
  if (key == nullptr || value == nullptr) return false;
  const auto entry = properties.find(key);
  if (entry == properties.end()) return false;
  if (value->type == VariantType::Int32) {
    const char* formatName = nullptr;
    bool isFormatKey = true;
    if (entry->first == kInputFormatKey) {
      formatName = inputFormatName;
    } else if (entry->first == kOutputFormatKey) {
      formatName = outputFormatName;
    } else {
      isFormatKey = false;
    }
    if (isFormatKey) {
      // Without a live port there is no name to pack.
      if (formatName == nullptr) return false;
      value->payload.int32 = static_cast<int32_t>(pellix::FourCCOf(formatName));
      return true;
    }
  }
  *value = entry->second;
  return true;
}

void PellixColorTransform::replaceFormatString(const char* key, String<char>* text) noexcept {
  Variant& value = properties.find(key)->second;
  DeleteStringRecord(value);
  value.payload.pointer = text;
}

Tessel::PortInterface* PellixColorTransform::createInputPort(int32_t kind, const char* format, int32_t) {
  if (kind != kPortKind || inputPort != nullptr) return nullptr;
  const pellix::PixelFormat code = pellix::FormatFromPortName(format);
  if (code == pellix::PixelFormat::None) return nullptr;
  // Everything that can fail is made before any member changes.
  auto port = std::make_unique<Input>(this);
  auto text = std::make_unique<String<char>>(format);
  inputFormat = code;
  inputBitsPerPixel = pellix::BitsPerPixel(code);
  inputFormatName = format;
  inputPort = port.release();
  replaceFormatString(kInputFormatKey, text.release());
  return inputPort;
}

Tessel::PortInterface* PellixColorTransform::createOutputPort(int32_t kind, const char* format, int32_t) {
  if (kind != kPortKind || outputPort != nullptr) return nullptr;
  const pellix::PixelFormat code = pellix::FormatFromPortName(format);
  if (code == pellix::PixelFormat::None) return nullptr;
  auto port = std::make_unique<Output>(this);
  auto text = std::make_unique<String<char>>(format);
  outputFormat = code;
  outputBitsPerPixel = pellix::BitsPerPixel(code);
  outputFormatName = format;
  outputPort = port.release();
  replaceFormatString(kOutputFormatKey, text.release());
  return outputPort;
}

bool PellixColorTransform::destroyInputPort(Tessel::PortInterface* port) {
  boost::recursive_mutex::scoped_lock lock(mutex);
  if (inputPort == nullptr || port != inputPort) return false;
  delete inputPort;
  inputPort = nullptr;
  inputFormatName = nullptr;
  return true;
}

bool PellixColorTransform::destroyOutputPort(Tessel::PortInterface* port) {
  boost::recursive_mutex::scoped_lock lock(mutex);
  if (outputPort == nullptr || port != outputPort) return false;
  delete outputPort;
  outputPort = nullptr;
  outputFormatName = nullptr;
  return true;
}
