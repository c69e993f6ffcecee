// The one exception type of the reference host: a step of driving the plug-in
// was refused or misbehaved. The message names the step, e.g.
// "plug-in refused input port format \"XYZ\"".
#pragma once

#include <stdexcept>
#include <string>

namespace pellix {

class HostError : public std::runtime_error {
 public:
  explicit HostError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace pellix
