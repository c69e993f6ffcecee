// Lookup tables of the plain routines: every product of a sample with a
// colour coefficient is a table entry, every result that may leave 0..255
// passes the clip table. Built in double precision, read as integers.
#pragma once

#include <cstdint>

namespace pellix {

// The video range of 8-bit samples: luma from black 16 to white 235, chroma
// from 16 to 240 around the centre 128 (no colour).
constexpr int32_t kVideoLumaLow = 16;
constexpr int32_t kVideoLumaHigh = 235;
constexpr int32_t kVideoChromaLow = 16;
constexpr int32_t kVideoChromaHigh = 240;
constexpr int32_t kChromaCentre = 128;

// YUV to RGB, plain integer units.
extern int32_t LumaToRgbTable[256];  // 0..256; 0 below 16, 256 from 235 up
extern int32_t VToRedTable[256];
extern int32_t VToGreenTable[256];
extern int32_t UToGreenTable[256];
extern int32_t UToBlueTable[256];
// Saturates a signed sum in -256..511 to 0..255: ClipTable[k] for that k.
constexpr int32_t kClipTableLow = -256;
constexpr int32_t kClipTableEnd = 512;
extern uint8_t ClipTableStorage[kClipTableEnd - kClipTableLow];
constexpr const uint8_t* ClipTable = ClipTableStorage - kClipTableLow;

// RGB to YUV, 16.16 fixed point. ChromaHalfTable serves as the B term of U
// and the R term of V.
extern int32_t RedToYTable[256];
extern int32_t GreenToYTable[256];
extern int32_t BlueToYTable[256];
extern int32_t RedToUTable[256];
extern int32_t GreenToUTable[256];
extern int32_t ChromaHalfTable[256];
extern int32_t GreenToVTable[256];
extern int32_t BlueToVTable[256];

// Added to a sum of three RGB-to-YUV entries before the arithmetic shift by
// 16: 16.5 and 128.5 in 16.16 fixed point, the black level or the chroma
// centre plus one half, so the shift rounds.
constexpr int32_t kLumaOffset16 = 0x108000;
constexpr int32_t kChromaOffset16 = 0x808000;

// Fill the tables; InitColorConversion calls them once per process.
void BuildYuvToRgbTables();
void BuildRgbToYuvTables();

}  // namespace pellix
