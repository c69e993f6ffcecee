#include "colorconv/converters/frame_geometry.h"

#include <algorithm>
#include <limits>

namespace pellix {
namespace converters {
namespace {

constexpr int64_t kAddressable = std::numeric_limits<int32_t>::max();

}  // namespace

FrameShape ShapeOf(const Tessel::ImageProperties& properties) {
  return {properties.width, properties.height, properties.stride};
}

int64_t RowPitch(PixelFormat format, int64_t stride) { return RowBytesPerPixel(format) * stride; }

int64_t RowBytes(PixelFormat format, int64_t width) { return RowBytesOfPixels(format, width); }

bool IsWellFormed(const FrameShape& shape, PixelFormat format) {
  if (RowBytesPerPixel(format) == 0 || shape.width < 1 || shape.height < 1) return false;
  if (IsPlanar(format) && (shape.width < 2 || shape.height < 2)) return false;
  return shape.stride >= MinimumStride(format, shape.width) && RowPitch(format, shape.stride) <= kAddressable;
}

bool HoldsOwnRows(const Tessel::Frame& frame, PixelFormat format) {
  const FrameShape shape = ShapeOf(frame);
  Footprint rows;
  rows.AddRows(0, shape.height, RowPitch(format, shape.stride), RowBytes(format, shape.width));
  return rows.FitsIn(frame.capacity);
}

bool FramesAreSound(const Tessel::Frame& source, PixelFormat sourceFormat, const Tessel::Frame& destination,
                    PixelFormat destinationFormat) {
  return IsWellFormed(ShapeOf(source), sourceFormat) && IsWellFormed(ShapeOf(destination), destinationFormat) &&
         HoldsOwnRows(source, sourceFormat) && HoldsOwnRows(destination, destinationFormat);
}

bool DestinationHolds(const FrameShape& destination, PixelFormat destinationFormat, const FrameShape& source) {
  if (destination.width < source.width) return false;
  return IsPlanar(destinationFormat) ? destination.height == source.height : destination.height >= source.height;
}

void Footprint::AddRows(int64_t offset, int64_t rows, int64_t pitch, int64_t rowBytes) {
  if (rows <= 0 || rowBytes <= 0) return;
  end_ = std::max(end_, offset + (rows - 1) * pitch + rowBytes);
}

void Footprint::AddChromaRows(int64_t offset, int64_t rows, int64_t stride, ChromaRowRule rule, int64_t rowBytes) {
  if (rows <= 0 || rowBytes <= 0) return;
  end_ = std::max(end_, offset + ChromaRowOffset(rows - 1, stride, rule) + rowBytes);
}

bool Footprint::FitsIn(uint32_t capacity) const { return end_ <= capacity && end_ <= kAddressable; }

}  // namespace converters
}  // namespace pellix
