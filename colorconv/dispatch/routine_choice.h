// Which variant of every routine a processor gets: a pure function of what
// the processor and its operating system report and of the user's cap, so
// tests can ask what any processor would get without owning one.
#pragma once

#include <string>

#include "colorconv/dispatch/cpu_features.h"
#include "colorconv/dispatch/routine_catalogue.h"
#include "colorconv/dispatch/tiers.h"
#include "colorconv/routines.h"

namespace pellix {

struct RoutineChoice {
  ConversionRoutines routines;
  PackedToPackedRoutine byteSwap;
  // Per entry of the catalogue: the tier installed, and why (including why
  // no wider variant was taken).
  struct Reason {
    Tier tier = Tier::Plain;
    std::string why;
  };
  Reason reasons[kCatalogueSize];
};

// Every routine starts plain. The MMX, SSE and SSE2 variants follow, each
// installed when its own CPUID bit is set, a later one replacing an earlier
// one. A wider tier (AVX2, AVX512) replaces a routine only where the routine
// in place is the one whose bytes it reproduces (or a narrower wide tier),
// so the output never changes with the tier. No tier above the cap is taken.
RoutineChoice ChooseRoutines(const CpuFeatures& features, const TierCap& cap);

}  // namespace pellix
