#include "colorconv/tables.h"

namespace pellix {

int32_t LumaToRgbTable[256];
int32_t VToRedTable[256];
int32_t VToGreenTable[256];
int32_t UToGreenTable[256];
int32_t UToBlueTable[256];
uint8_t ClipTableStorage[768];

int32_t RedToYTable[256];
int32_t GreenToYTable[256];
int32_t BlueToYTable[256];
int32_t RedToUTable[256];
int32_t GreenToUTable[256];
int32_t ChromaHalfTable[256];
int32_t GreenToVTable[256];
int32_t BlueToVTable[256];

namespace {

// The tables are defined by IEEE double arithmetic, each product rounded to
// double. The 32-bit x87 unit keeps 64-bit mantissas by default, so for the
// build of the tables it is switched to 53-bit precision and back.
#if defined(__i386__) && !defined(__SSE2_MATH__)
class DoublePrecisionScope {
 public:
  DoublePrecisionScope() {
    __asm__ __volatile__("fnstcw %0" : "=m"(saved_));
    const uint16_t doublePrecision = static_cast<uint16_t>((saved_ & ~0x0300) | 0x0200);
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

// Video-range luma scaled to 0..256: 299.3 / 256 is 255 / 219 with a small
// boost so that 235 reaches 256 and white saturates. The cast truncates.
int32_t LumaEntry(int i) {
  if (i < 16) return 0;
  if (i > 235) i = 235;
  return static_cast<int32_t>((i - 16) * 299.3) / 256;
}

// The chroma tables saturate at the video-range limits 16 and 240, so an
// out-of-range sample needs no bounds test. Adding one half and truncating
// rounds positive values to nearest and negative values toward zero.
int32_t ChromaEntry(int i, double coefficient) {
  if (i < 16) i = 16;
  if (i > 240) i = 240;
  const double x = i - 128;
  return static_cast<int32_t>(x * coefficient * 0.00390625 + 0.5);
}

// 16.16 fixed point of i * coefficient * scale / 256, multiplied in exactly
// this order so that the double roundings match the reference values.
void FillRgbToYuv(int32_t* table, double coefficient, double scale) {
  for (int i = 0; i < 256; ++i) {
    table[i] = static_cast<int32_t>(i * coefficient * 65536 * scale * 0.00390625);
  }
}

}  // namespace

void BuildYuvToRgbTables() {
  const DoublePrecisionScope precision;
  for (int k = -256; k < 512; ++k) {
    ClipTableStorage[k + 256] = static_cast<uint8_t>(k < 0 ? 0 : (k > 255 ? 255 : k));
  }
  for (int i = 0; i < 256; ++i) {
    LumaToRgbTable[i] = LumaEntry(i);
    VToRedTable[i] = ChromaEntry(i, 410.1);
    VToGreenTable[i] = ChromaEntry(i, -208.9);
    UToGreenTable[i] = ChromaEntry(i, -100.5);
    UToBlueTable[i] = ChromaEntry(i, 518.5);
  }
}

void BuildRgbToYuvTables() {
  const DoublePrecisionScope precision;
  FillRgbToYuv(RedToYTable, 0.299, 219);
  FillRgbToYuv(GreenToYTable, 0.587, 219);
  FillRgbToYuv(BlueToYTable, 0.114, 219);
  FillRgbToYuv(RedToUTable, -0.1684, 224);
  FillRgbToYuv(GreenToUTable, -0.3316, 224);
  FillRgbToYuv(GreenToVTable, -0.4187, 224);
  FillRgbToYuv(BlueToVTable, -0.0813, 224);
  FillRgbToYuv(ChromaHalfTable, 0.5, 224);
}

}  // namespace pellix
