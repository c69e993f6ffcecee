// Frame converters: one per ordered pair of distinct formats, made from the
// pair table (converters/pair_table.h). Each locks both frames, checks that
// the frames hold everything the conversion reads and writes, and converts
// through the slot of its routine (or copies or swaps bytes itself). False
// means nothing was converted and both frames are untouched and unlocked.
#pragma once

#include "colorconv/converters/pair_table.h"
#include "formats/pixel_format.h"

namespace pellix {

using converters::PairConverterFor;

constexpr FrameConverter ConvertI420ToYUY2 = PairConverterFor(PixelFormat::I420, PixelFormat::YUY2);
constexpr FrameConverter ConvertYV12ToYUY2 = PairConverterFor(PixelFormat::YV12, PixelFormat::YUY2);
constexpr FrameConverter ConvertI420ToUYVY = PairConverterFor(PixelFormat::I420, PixelFormat::UYVY);
constexpr FrameConverter ConvertYV12ToUYVY = PairConverterFor(PixelFormat::YV12, PixelFormat::UYVY);
constexpr FrameConverter ConvertI420ToBGRA = PairConverterFor(PixelFormat::I420, PixelFormat::BGRA);
constexpr FrameConverter ConvertYV12ToBGRA = PairConverterFor(PixelFormat::YV12, PixelFormat::BGRA);
constexpr FrameConverter ConvertYUY2ToBGRA = PairConverterFor(PixelFormat::YUY2, PixelFormat::BGRA);
constexpr FrameConverter ConvertUYVYToBGRA = PairConverterFor(PixelFormat::UYVY, PixelFormat::BGRA);
constexpr FrameConverter ConvertBGRAToI420 = PairConverterFor(PixelFormat::BGRA, PixelFormat::I420);
constexpr FrameConverter ConvertBGRAToYV12 = PairConverterFor(PixelFormat::BGRA, PixelFormat::YV12);
constexpr FrameConverter ConvertYUY2ToI420 = PairConverterFor(PixelFormat::YUY2, PixelFormat::I420);
constexpr FrameConverter ConvertYUY2ToYV12 = PairConverterFor(PixelFormat::YUY2, PixelFormat::YV12);
constexpr FrameConverter ConvertUYVYToI420 = PairConverterFor(PixelFormat::UYVY, PixelFormat::I420);
constexpr FrameConverter ConvertUYVYToYV12 = PairConverterFor(PixelFormat::UYVY, PixelFormat::YV12);
constexpr FrameConverter ConvertBGRAToYUY2 = PairConverterFor(PixelFormat::BGRA, PixelFormat::YUY2);
constexpr FrameConverter ConvertBGRAToUYVY = PairConverterFor(PixelFormat::BGRA, PixelFormat::UYVY);
// One operation each serves both directions.
constexpr FrameConverter ConvertI420ToYV12 = PairConverterFor(PixelFormat::I420, PixelFormat::YV12);
constexpr FrameConverter ConvertYV12ToI420 = PairConverterFor(PixelFormat::YV12, PixelFormat::I420);
constexpr FrameConverter ConvertYUY2ToUYVY = PairConverterFor(PixelFormat::YUY2, PixelFormat::UYVY);
constexpr FrameConverter ConvertUYVYToYUY2 = PairConverterFor(PixelFormat::UYVY, PixelFormat::YUY2);
static_assert(ConvertYV12ToI420 == ConvertI420ToYV12 && ConvertUYVYToYUY2 == ConvertYUY2ToUYVY,
              "the plane copy and the byte swap serve both directions");

// The converter of an ordered pair, or null for a refused pair (same format
// on both sides, or None on either).
FrameConverter FrameConverterFor(PixelFormat input, PixelFormat output);

}  // namespace pellix
