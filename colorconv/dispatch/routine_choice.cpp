#include "colorconv/dispatch/routine_choice.h"

namespace pellix {
namespace {

std::string CapText(const TierCap& cap) { return std::string(kTierCapVariable) + "=" + cap.text; }

// Why the variant of `tier` stays out, or empty when it may go in over the
// variant of `installed`.
std::string Refusal(const RoutineDescription& routine, Tier tier, Tier installed, const CpuFeatures& features,
                    const TierCap& cap) {
  if (tier > cap.highest) return std::string(TierName(tier)) + " ruled out by " + CapText(cap);
  const TierVerdict verdict = JudgeTier(tier, features);
  if (!verdict.usable) return std::string(TierName(tier)) + " not taken: " + verdict.why;
  if (IsWide(tier) && installed != routine.referenceTier && !IsWide(installed)) {
    return std::string(TierName(tier)) + " not taken: it reproduces " + VariantName(routine, routine.referenceTier) +
           ", which this processor does not run";
  }
  return {};
}

}  // namespace

RoutineChoice ChooseRoutines(const CpuFeatures& features, const TierCap& cap) {
  RoutineChoice choice{};
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    const RoutineDescription& routine = kRoutineCatalogue[i];
    const RoutineVariant* installed = routine.variant(Tier::Plain);
    std::string firstRefusal;
    for (const RoutineVariant& candidate : routine) {
      if (candidate.tier == Tier::Plain) continue;
      const std::string refusal = Refusal(routine, candidate.tier, installed->tier, features, cap);
      if (refusal.empty()) {
        installed = &candidate;
        firstRefusal.clear();
      } else if (firstRefusal.empty()) {
        firstRefusal = refusal;
      }
    }
    RoutineChoice::Reason& reason = choice.reasons[i];
    reason.tier = installed->tier;
    reason.why = JudgeTier(installed->tier, features).why;
    if (!firstRefusal.empty()) reason.why += "; " + firstRefusal;
    if (routine.slot == kNoSlot)
      choice.byteSwap = installed->routine.packedToPacked;
    else
      SetSlotRoutine(choice.routines, routine.id, installed->routine);
  }
  return choice;
}

}  // namespace pellix
