#include "tests/simd/variant_table.h"

#include "colorconv/dispatch/cpu_features.h"
#include "colorconv/dispatch/tiers.h"

namespace pellix::test {

AnyRoutine Variant::reference() const { return isWide() ? routine->reference().routine : call; }

std::vector<Variant> SimdVariants() {
  std::vector<Variant> all;
  for (const RoutineDescription& routine : kRoutineCatalogue)
    for (const RoutineVariant& v : routine)
      if (v.tier != Tier::Plain) all.push_back({&routine, v.tier, v.routine});
  return all;
}

std::vector<Variant> RunnableVariantsOf(RoutineId id) {
  std::vector<Variant> found;
  for (const Variant& v : SimdVariants())
    if (v.id() == id && ProcessorRuns(v.tier)) found.push_back(v);
  return found;
}

std::vector<Variant> WideVariantsOf(std::initializer_list<RoutineId> ids) {
  std::vector<Variant> wide;
  for (const Variant& v : SimdVariants())
    for (RoutineId id : ids)
      if (v.isWide() && v.id() == id) wide.push_back(v);
  return wide;
}

bool ProcessorRuns(Tier tier) {
  static const CpuFeatures features = ReadCpuFeatures();
  return JudgeTier(tier, features).usable;
}

uint32_t ProcessorFeatures() { return ReadCpuFeatures().leaf1Edx; }

}  // namespace pellix::test
