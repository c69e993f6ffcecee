#include "host/plugin_info.h"

#include "host/host_error.h"
#include "host/plugin_host.h"

namespace pellix {

std::vector<std::string> KnownIdentifiers() {
  const Tessel::String<char>* all[] = {
      &Tessel::InterfaceComponentId, &Tessel::ComponentInputId,          &Tessel::InterfaceInputId,
      &Tessel::ComponentOutputSingleId, &Tessel::ComponentOutputMultipleId, &Tessel::ComponentOutputId,
      &Tessel::InterfaceOutputId,    &Tessel::ComponentTransformId,      &Tessel::InterfaceTransformId};
  std::vector<std::string> texts;
  for (const auto* id : all) texts.push_back(id->toStdString());
  return texts;
}

PluginInfo ReadPluginInfo(const PluginLibrary& library, const std::string& inputFormat,
                          const std::string& outputFormat) {
  RecordingPluginHost host;  // outlives the component, which notifies it on release
  LoadedComponent component(library, host);
  if (!inputFormat.empty() && component.createInputPort(inputFormat) == nullptr) {
    throw HostError("plug-in refused input port format \"" + inputFormat + "\"");
  }
  if (!outputFormat.empty() && component.createOutputPort(outputFormat) == nullptr) {
    throw HostError("plug-in refused output port format \"" + outputFormat + "\"");
  }
  PluginInfo info;
  info.path = library.path();
  info.properties = component.readProperties();
  for (const std::string& identifier : KnownIdentifiers()) {
    void* face = nullptr;
    const int32_t result = component.queryInterface(identifier.c_str(), &face);
    info.identifiers.push_back({identifier, result, face != nullptr});
  }
  return info;
}

}  // namespace pellix
