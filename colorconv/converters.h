// Frame converters: one per ordered pair of distinct formats. Each locks both
// frames, checks that the frames hold everything the conversion reads and
// writes, and converts through one slot of the routine table (or copies or
// swaps bytes itself). False means nothing was converted and both frames
// are untouched and unlocked.
#pragma once

#include <cstdint>

#include "formats/pixel_format.h"
#include "sdk/host.h"

namespace pellix {

// source frame, the component's image description, interlace flag (0 or 1),
// destination frame.
using FrameConverter = bool (*)(Tessel::Frame* src, const Tessel::ImageProperties* props, uint8_t interlaced,
                                Tessel::Frame* dst);

bool ConvertI420ToYUY2(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertYV12ToYUY2(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertI420ToUYVY(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertYV12ToUYVY(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertI420ToBGRA(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertYV12ToBGRA(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertYUY2ToBGRA(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertUYVYToBGRA(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertBGRAToI420(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertBGRAToYV12(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertYUY2ToI420(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertYUY2ToYV12(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertUYVYToI420(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertUYVYToYV12(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertBGRAToYUY2(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertBGRAToUYVY(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
// One operation each serves both directions.
bool ConvertI420ToYV12(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
bool ConvertYUY2ToUYVY(Tessel::Frame*, const Tessel::ImageProperties*, uint8_t, Tessel::Frame*);
constexpr FrameConverter ConvertYV12ToI420 = ConvertI420ToYV12;
constexpr FrameConverter ConvertUYVYToYUY2 = ConvertYUY2ToUYVY;

// The converter of an ordered pair, or null for a refused pair (same format
// on both sides, or None on either).
FrameConverter FrameConverterFor(PixelFormat input, PixelFormat output);

}  // namespace pellix
