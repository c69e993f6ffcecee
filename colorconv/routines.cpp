#include "colorconv/routines.h"

#include <cpuid.h>

#include <mutex>

#include "colorconv/plain/plain_routines.h"
#include "colorconv/simd/simd_routines.h"
#include "colorconv/tables.h"

namespace pellix {
namespace {

ConversionRoutines gRoutines;
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

// The only place that names a variant. Tiers are applied in order, so a
// later tier overrides an earlier one for the same slot; each tier is tested
// on its own bit, as the processor reports it.
ConversionRoutines SelectConversionRoutines(uint32_t featureWord) {
  ConversionRoutines r = {Planar420ToYUY2, Planar420ToUYVY, Planar420ToBGRA, YUY2ToBGRA,      UYVYToBGRA,
                          BGRAToPlanar420, YUY2ToPlanar420, UYVYToPlanar420, BGRAToYUY2, BGRAToUYVY};
  if (featureWord & CpuFeature::MMX) {
    r.planar420ToYUY2 = Planar420ToYUY2_MMX;
    r.planar420ToBGRA = Planar420ToBGRA_MMX;
    r.bgraToPlanar420 = BGRAToPlanar420_MMX;
    r.yuy2ToPlanar420 = YUY2ToPlanar420_MMX;
  }
  if (featureWord & CpuFeature::SSE) {
    r.planar420ToYUY2 = Planar420ToYUY2_SSE;
    r.bgraToPlanar420 = BGRAToPlanar420_SSE;
    r.yuy2ToPlanar420 = YUY2ToPlanar420_SSE;
  }
  if (featureWord & CpuFeature::SSE2) {
    r.planar420ToYUY2 = Planar420ToYUY2_SSE2;
  }
  return r;
}

// Everything is built and published once per process, so a component that
// connects while another converts never sees a null slot or a half-built
// table; later calls find the same state and change nothing.
uint32_t InitColorConversion() {
  std::call_once(gSetUpOnce, [] {
    InitColorAdjustment(&gAdjustment, 0, 256, 256);
    BuildYuvToRgbTables();
    BuildRgbToYuvTables();
    uint32_t regs[4];
    QueryCpuFeatures(1, regs);
    gFeatureWord = regs[3];
    gRoutines = SelectConversionRoutines(gFeatureWord);
  });
  return gFeatureWord;
}

const ConversionRoutines& ActiveConversionRoutines() { return gRoutines; }
const ColorAdjustment& ProcessColorAdjustment() { return gAdjustment; }
uint32_t ProcessFeatureWord() { return gFeatureWord; }

}  // namespace pellix
