// The routine choice the plug-in makes on this processor, as pellix-convert
// --info prints it: what the processor and its operating system report,
// which tiers run, the cap in PELLIX_CPU, and per routine the variant
// installed and why. The plug-in reports nothing itself, so the tool asks
// the same routine catalogue and choice function the plug-in is built from.
#pragma once

#include <ostream>

#include "colorconv/dispatch/cpu_features.h"
#include "colorconv/dispatch/tiers.h"

namespace pellix::convert {

void PrintRoutineChoice(const CpuFeatures& features, const TierCap& cap, std::ostream& out);

}  // namespace pellix::convert
