#include "colorconv/routines.h"

#include <cpuid.h>

#include <cstdlib>
#include <mutex>

#include "colorconv/dispatch/routine_choice.h"
#include "colorconv/tables.h"

namespace pellix {
namespace {

ConversionRoutines gRoutines;
PackedToPackedRoutine gByteSwap = nullptr;
ColorAdjustment gAdjustment;
uint32_t gFeatureWord = 0;
std::once_flag gSetUpOnce;

}  // namespace

void InitColorAdjustment(ColorAdjustment* adjust, int32_t offset, int32_t lumaGain, int32_t chromaGain) {
  for (int lane = 0; lane < 4; ++lane) {
    adjust->lumaOffsetPacked[lane] = static_cast<int16_t>(offset);
    adjust->lumaGainPacked[lane] = static_cast<int16_t>(lumaGain);
    adjust->chromaGainPacked[lane] = static_cast<int16_t>(chromaGain);
  }
  adjust->lumaOffset = offset;
  adjust->lumaGain = lumaGain;
  adjust->chromaGain = chromaGain;
  adjust->isIdentity = (offset == 0 && lumaGain == 256 && chromaGain == lumaGain) ? 1 : 0;
}

void QueryCpuFeatures(int32_t leaf, uint32_t regs[4]) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid(static_cast<unsigned>(leaf), a, b, c, d);
  regs[0] = a;
  regs[1] = b;
  regs[2] = c;
  regs[3] = d;
}

ConversionRoutines SelectConversionRoutines(uint32_t featureWord) {
  CpuFeatures features;
  features.leaf1Edx = featureWord;
  return ChooseRoutines(features, TierCap{}).routines;
}

// Everything is built and published once per process, so a component that
// connects while another converts never sees a null slot or a half-built
// table; later calls find the same state and change nothing.
uint32_t InitColorConversion() {
  std::call_once(gSetUpOnce, [] {
    InitColorAdjustment(&gAdjustment, 0, 256, 256);
    BuildYuvToRgbTables();
    BuildRgbToYuvTables();
    const CpuFeatures features = ReadCpuFeatures();
    const RoutineChoice choice = ChooseRoutines(features, ParseTierCap(std::getenv(kTierCapVariable)));
    gFeatureWord = features.leaf1Edx;
    gRoutines = choice.routines;
    gByteSwap = choice.byteSwap;
  });
  return gFeatureWord;
}

const ConversionRoutines& ActiveConversionRoutines() { return gRoutines; }
const ColorAdjustment& ProcessColorAdjustment() { return gAdjustment; }
PackedToPackedRoutine ActiveByteSwapRoutine() { return gByteSwap; }

}  // namespace pellix
