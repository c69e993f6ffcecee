#include "colorconv/tables.h"

namespace pellix {

int32_t LumaToRgbTable[256];
int32_t VToRedTable[256];
int32_t VToGreenTable[256];
int32_t UToGreenTable[256];
int32_t UToBlueTable[256];
uint8_t ClipTableStorage[kClipTableEnd - kClipTableLow];

int32_t RedToYTable[256];
int32_t GreenToYTable[256];
int32_t BlueToYTable[256];
int32_t RedToUTable[256];
int32_t GreenToUTable[256];
int32_t ChromaHalfTable[256];
int32_t GreenToVTable[256];
int32_t BlueToVTable[256];

namespace {

// 1 / 256 (exact in double): the tables' coefficients are in 1/256 units.
constexpr double kOneIn256 = 0.00390625;

// Luma 16..235 to 0..256, times 256: 255 / 219 * 256 = 298.1, raised to
// 299.3 so that white (235) reaches 256 after the truncations and saturates.
constexpr double kLumaGain256 = 299.3;

// Chroma (x = sample - 128) to RGB terms, times 256: the video-range
// factors of V to red, V to green, U to green and U to blue.
constexpr double kVToRed256 = 410.1;
constexpr double kVToGreen256 = -208.9;
constexpr double kUToGreen256 = -100.5;
constexpr double kUToBlue256 = 518.5;

// RGB to YUV: the luma weights of red, green and blue (0.299 + 0.587 +
// 0.114 = 1), the U and V weights of the colour differences (R and B enter
// U and V with weight 0.5, ChromaHalfTable), and the output ranges: luma
// spans 219 steps (16..235), chroma 224 (16..240).
constexpr double kRedToY = 0.299;
constexpr double kGreenToY = 0.587;
constexpr double kBlueToY = 0.114;
constexpr double kRedToU = -0.1684;
constexpr double kGreenToU = -0.3316;
constexpr double kGreenToV = -0.4187;
constexpr double kBlueToV = -0.0813;
constexpr double kChromaHalf = 0.5;
constexpr double kLumaSteps = kVideoLumaHigh - kVideoLumaLow;
constexpr double kChromaSteps = kVideoChromaHigh - kVideoChromaLow;

// 16.16 fixed point.
constexpr double kFixedOne = 65536;

// The tables are defined by IEEE double arithmetic, each product rounded to
// double. The 32-bit x87 unit keeps 64-bit mantissas by default, so for the
// build of the tables it is switched to 53-bit precision and back.
#if defined(__i386__) && !defined(__SSE2_MATH__)
class DoublePrecisionScope {
  // The x87 control word's precision field (bits 8 and 9) and its value for
  // a 53-bit mantissa, the precision of a double.
  static constexpr uint16_t kPrecisionField = 0x0300;
  static constexpr uint16_t kDoublePrecision = 0x0200;

 public:
  DoublePrecisionScope() {
    __asm__ __volatile__("fnstcw %0" : "=m"(saved_));
    const uint16_t doublePrecision = static_cast<uint16_t>((saved_ & ~kPrecisionField) | kDoublePrecision);
    __asm__ __volatile__("fldcw %0" : : "m"(doublePrecision));
  }
  ~DoublePrecisionScope() { __asm__ __volatile__("fldcw %0" : : "m"(saved_)); }
  DoublePrecisionScope(const DoublePrecisionScope&) = delete;
  DoublePrecisionScope& operator=(const DoublePrecisionScope&) = delete;

 private:
  uint16_t saved_ = 0;
};
#else
struct DoublePrecisionScope {
  DoublePrecisionScope() {}  // user-provided, so a scope object is not an unused variable
};
#endif

// Video-range luma scaled to 0..256 (kLumaGain256); both the cast and the
// division truncate.
int32_t LumaEntry(int i) {
  if (i < kVideoLumaLow) return 0;
  if (i > kVideoLumaHigh) i = kVideoLumaHigh;
  return static_cast<int32_t>((i - kVideoLumaLow) * kLumaGain256) / 256;
}

// The chroma tables saturate at the video-range limits 16 and 240, so an
// out-of-range sample needs no bounds test. Adding one half and truncating
// rounds positive values to nearest and negative values toward zero.
int32_t ChromaEntry(int i, double coefficient) {
  if (i < kVideoChromaLow) i = kVideoChromaLow;
  if (i > kVideoChromaHigh) i = kVideoChromaHigh;
  const double x = i - kChromaCentre;
  return static_cast<int32_t>(x * coefficient * kOneIn256 + 0.5);
}

// 16.16 fixed point of i * coefficient * scale / 256, multiplied in exactly
// this order so that the double roundings match the reference values.
void FillRgbToYuv(int32_t* table, double coefficient, double scale) {
  for (int i = 0; i < 256; ++i) {
    table[i] = static_cast<int32_t>(i * coefficient * kFixedOne * scale * kOneIn256);
  }
}

}  // namespace

void BuildYuvToRgbTables() {
  const DoublePrecisionScope precision;
  for (int k = kClipTableLow; k < kClipTableEnd; ++k) {
    ClipTableStorage[k - kClipTableLow] = static_cast<uint8_t>(k < 0 ? 0 : (k > 255 ? 255 : k));
  }
  for (int i = 0; i < 256; ++i) {
    LumaToRgbTable[i] = LumaEntry(i);
    VToRedTable[i] = ChromaEntry(i, kVToRed256);
    VToGreenTable[i] = ChromaEntry(i, kVToGreen256);
    UToGreenTable[i] = ChromaEntry(i, kUToGreen256);
    UToBlueTable[i] = ChromaEntry(i, kUToBlue256);
  }
}

void BuildRgbToYuvTables() {
  const DoublePrecisionScope precision;
  FillRgbToYuv(RedToYTable, kRedToY, kLumaSteps);
  FillRgbToYuv(GreenToYTable, kGreenToY, kLumaSteps);
  FillRgbToYuv(BlueToYTable, kBlueToY, kLumaSteps);
  FillRgbToYuv(RedToUTable, kRedToU, kChromaSteps);
  FillRgbToYuv(GreenToUTable, kGreenToU, kChromaSteps);
  FillRgbToYuv(GreenToVTable, kGreenToV, kChromaSteps);
  FillRgbToYuv(BlueToVTable, kBlueToV, kChromaSteps);
  FillRgbToYuv(ChromaHalfTable, kChromaHalf, kChromaSteps);
}

}  // namespace pellix
