// What a plug-in library says about itself: its properties and which of the
// nine identifiers its interface lookup answers (for `pellix-convert --info`).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/loaded_component.h"
#include "host/plugin_library.h"

namespace pellix {

struct IdentifierAnswer {
  std::string identifier;
  int32_t result = 0;       // 0 answered, 3 not
  bool pointerSet = false;  // the out pointer came back non-null
};

struct PluginInfo {
  std::string path;
  ComponentProperties properties;
  std::vector<IdentifierAnswer> identifiers;  // the nine, in declaration order
};

// The nine identifier texts, in declaration order.
std::vector<std::string> KnownIdentifiers();

// Makes one component, creates ports for the given format names when they are
// not empty (so the format properties and FourCCs have something to show),
// reads everything and releases the component. Throws HostError when the
// plug-in cannot be made or refuses a given format.
PluginInfo ReadPluginInfo(const PluginLibrary& library, const std::string& inputFormat = "",
                          const std::string& outputFormat = "");

}  // namespace pellix
