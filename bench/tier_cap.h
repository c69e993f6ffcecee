// One cap on the instruction-set tier for both sides of a comparison: our
// routines (through PELLIX_CPU, read when the routine table is set up) and
// libyuv (through its CPU flag mask), so a wide processor can measure a
// narrower tier against the same tier of the peer.
#pragma once

#include <string>

namespace pellix::bench {

// Applies the cap named as PELLIX_CPU spells tiers ("avx2", "sse2", ...).
// Must run before the routine table is set up. Returns a line describing
// what both sides were capped to, or an error text when the name is unknown.
struct TierCapResult {
  bool ok = false;
  std::string description;
};
TierCapResult ApplyBenchTierCap(const std::string& name);

}  // namespace pellix::bench
