#include "tools/pellix_convert/routine_report.h"

#include <cstdio>
#include <iomanip>
#include <string>

#include "colorconv/dispatch/routine_choice.h"

namespace pellix::convert {
namespace {

std::string Hex(uint64_t value, int digits) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%0*llx", digits, static_cast<unsigned long long>(value));
  return text;
}

std::string CapLine(const TierCap& cap) {
  const std::string variable = kTierCapVariable;
  if (cap.text.empty()) return variable + " not set: every tier above that runs here may be chosen";
  std::string names;
  for (Tier tier : kAllTiers) names += std::string(names.empty() ? "" : ", ") + TierCapName(tier);
  if (!cap.understood) return variable + "=" + cap.text + " names no tier (" + names + "): no cap applied";
  return variable + "=" + cap.text + ": no tier above " + TierName(cap.highest);
}

}  // namespace

void PrintRoutineChoice(const CpuFeatures& f, const TierCap& cap, std::ostream& out) {
  out << "processor: CPUID leaf 1 EDX " << Hex(f.leaf1Edx, 8) << " ECX " << Hex(f.leaf1Ecx, 8) << ", leaf 7 EBX "
      << Hex(f.leaf7Ebx, 8) << ", XCR0 " << Hex(f.osSavedState, 8) << "\n";
  out << "tiers:\n";
  for (Tier tier : kAllTiers) {
    const TierVerdict verdict = JudgeTier(tier, f);
    out << "  " << std::left << std::setw(8) << TierName(tier) << std::setw(5) << (verdict.usable ? "yes" : "no")
        << verdict.why << "\n";
  }
  out << "cap: " << CapLine(cap) << "\n";
  out << "routines on this processor:\n";
  const RoutineChoice choice = ChooseRoutines(f, cap);
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    const RoutineDescription& routine = kRoutineCatalogue[i];
    const RoutineChoice::Reason& reason = choice.reasons[i];
    const std::string slot = routine.slot == kNoSlot ? "-" : std::to_string(routine.slot);
    out << "  slot " << slot << "  " << std::left << std::setw(18) << routine.name << std::setw(24)
        << VariantName(routine, reason.tier) << reason.why << "\n";
  }
}

}  // namespace pellix::convert
