// A second copy of the built plug-in, loaded as a library of its own whose
// one-time set-up ran under PELLIX_CPU=<tier>: its routine choice is capped
// while the main copy (Library()) runs every tier this processor has.
#pragma once

#include <memory>

#include "host/plugin_library.h"

namespace pellix {
namespace e2e {

// One library per tier name for the whole process; throws when the copy
// cannot be made or loaded.
std::shared_ptr<const PluginLibrary> LibraryCappedAt(const char* tier);

}  // namespace e2e
}  // namespace pellix
