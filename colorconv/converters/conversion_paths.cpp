#include "colorconv/converters/conversion_paths.h"

#include <cstring>

#include "colorconv/converters/frame_geometry.h"
#include "colorconv/converters/frame_lock.h"
#include "colorconv/plain/plain_routines.h"
#include "formats/size_rules.h"

namespace pellix {
namespace converters {
namespace {

// Converting a frame onto itself is not supported by any routine.
bool DistinctFrames(const Tessel::Frame* source, const Tessel::Frame* destination) {
  return source != nullptr && destination != nullptr && source != destination;
}

// `rows` rows of `rowBytes` bytes; one copy where neither side has bytes
// between its rows, so a whole plane moves as fast as memcpy can move it.
void CopyRows(uint8_t* to, int64_t toPitch, const uint8_t* from, int64_t fromPitch, int64_t rowBytes, int64_t rows) {
  if (toPitch == rowBytes && fromPitch == rowBytes) {
    std::memcpy(to, from, static_cast<size_t>(rowBytes * rows));
    return;
  }
  for (int64_t row = 0; row < rows; ++row) {
    std::memcpy(to + row * toPitch, from + row * fromPitch, static_cast<size_t>(rowBytes));
  }
}

// The U plane of a planar frame; called with the planes exchanged it gives V.
template <class Byte>
Byte* UPlane(PlaneOrder order, Byte* first, Byte* second) {
  return order == PlaneOrder::UFirst ? first : second;
}

}  // namespace

bool ConvertPlanarToPacked(Tessel::Frame* source, uint8_t interlaced, Tessel::Frame* destination,
                           PlaneOrder sourceOrder, PixelFormat destinationFormat, Planar420ToPackedRoutine routine) {
  if (!DistinctFrames(source, destination) || routine == nullptr) return false;
  const FrameShape s = ShapeOf(*source);
  const FrameShape d = ShapeOf(*destination);
  if (!FramesAreSound(*source, PixelFormat::I420, *destination, destinationFormat) ||
      !DestinationHolds(d, destinationFormat, s)) {
    return false;
  }
  const ChromaPlanes planes = SourceChromaPlanes(s.height, s.stride);
  Footprint reads;
  reads.AddRows(0, s.height, s.stride, s.width);
  reads.AddChromaRows(planes.first, s.height / 2, s.stride, ChromaRowRule::HalvedStride, s.width / 2);
  reads.AddChromaRows(planes.second, s.height / 2, s.stride, ChromaRowRule::HalvedStride, s.width / 2);
  Footprint writes;
  writes.AddRows(0, s.height, RowPitch(destinationFormat, d.stride), RowBytes(destinationFormat, s.width));
  if (!reads.FitsIn(source->capacity) || !writes.FitsIn(destination->capacity)) return false;

  FrameLock lock(*source, *destination);
  if (!lock.ok()) return false;
  const uint8_t* first = lock.source() + planes.first;
  const uint8_t* second = lock.source() + planes.second;
  routine(lock.source(), static_cast<int32_t>(s.stride), UPlane(sourceOrder, first, second),
          UPlane(sourceOrder, second, first), static_cast<int32_t>(s.stride / 2), lock.destination(),
          static_cast<int32_t>(s.width), static_cast<int32_t>(s.height), static_cast<int32_t>(d.stride),
          &ProcessColorAdjustment(), interlaced);
  return true;
}

bool ConvertPackedToBgra(Tessel::Frame* source, const Tessel::ImageProperties* properties, Tessel::Frame* destination,
                         PackedToPackedRoutine routine) {
  if (!DistinctFrames(source, destination) || properties == nullptr || routine == nullptr) return false;
  const FrameShape s = ShapeOf(*source);
  const FrameShape d = ShapeOf(*destination);
  const FrameShape described = ShapeOf(*properties);
  const int64_t rows = described.height;
  if (!FramesAreSound(*source, PixelFormat::YUY2, *destination, PixelFormat::BGRA) ||
      !DestinationHolds(d, PixelFormat::BGRA, s)) {
    return false;
  }
  // The description may name fewer rows than the frames hold, never more.
  if (rows < 1 || rows > s.height || described.width < 1 || described.width > s.width) return false;
  // Every macropixel of the source pitch is converted, so each destination
  // row must hold two pixels per macropixel.
  const int64_t groups = s.stride / 2;
  if (d.stride < 2 * groups) return false;
  Footprint reads;
  reads.AddRows(0, rows, RowPitch(PixelFormat::YUY2, s.stride), 4 * groups);
  Footprint writes;
  writes.AddRows(0, rows, RowPitch(PixelFormat::BGRA, d.stride), 8 * groups);
  if (!reads.FitsIn(source->capacity) || !writes.FitsIn(destination->capacity)) return false;

  FrameLock lock(*source, *destination);
  if (!lock.ok()) return false;
  routine(lock.source(), static_cast<int32_t>(s.stride), lock.destination(), static_cast<int32_t>(d.stride),
          static_cast<int32_t>(rows), static_cast<int32_t>(described.width));
  return true;
}

bool ConvertBgraToPacked(Tessel::Frame* source, Tessel::Frame* destination, PixelFormat destinationFormat,
                         PackedToPackedRoutine routine) {
  if (!DistinctFrames(source, destination) || routine == nullptr) return false;
  const FrameShape s = ShapeOf(*source);
  const FrameShape d = ShapeOf(*destination);
  if (!AcceptsSize({PixelFormat::BGRA, destinationFormat}, s.width, s.height)) return false;
  if (!FramesAreSound(*source, PixelFormat::BGRA, *destination, destinationFormat) ||
      !DestinationHolds(d, destinationFormat, s)) {
    return false;
  }
  // Every pair of the destination pitch is filled from the same number of
  // source pixels, so each source row must hold them.
  const int64_t pairs = d.stride / 2;
  if (s.stride < 2 * pairs) return false;
  Footprint reads;
  reads.AddRows(0, s.height, RowPitch(PixelFormat::BGRA, s.stride), 8 * pairs);
  Footprint writes;
  writes.AddRows(0, s.height, RowPitch(destinationFormat, d.stride), 4 * pairs);
  if (!reads.FitsIn(source->capacity) || !writes.FitsIn(destination->capacity)) return false;

  FrameLock lock(*source, *destination);
  if (!lock.ok()) return false;
  routine(lock.source(), static_cast<int32_t>(s.stride), lock.destination(), static_cast<int32_t>(d.stride),
          static_cast<int32_t>(s.height), static_cast<int32_t>(s.width));
  return true;
}

bool ConvertToPlanar(Tessel::Frame* source, PixelFormat sourceFormat, Tessel::Frame* destination,
                     PlaneOrder destinationOrder, ToPlanar420Routine routine) {
  if (!DistinctFrames(source, destination) || routine == nullptr) return false;
  const FrameShape s = ShapeOf(*source);
  const FrameShape d = ShapeOf(*destination);
  if (!FramesAreSound(*source, sourceFormat, *destination, PixelFormat::I420) ||
      !DestinationHolds(d, PixelFormat::I420, s)) {
    return false;
  }
  const int64_t sourcePitch = RowPitch(sourceFormat, s.stride);
  const ChromaPlanes planes = DestinationChromaPlanes(s.height, d.stride);
  const ChromaRowRule rule = DestinationChromaRowRule(sourceFormat);
  Footprint reads;
  reads.AddRows(0, s.height, sourcePitch, RowBytes(sourceFormat, s.width));
  Footprint writes;
  writes.AddRows(0, s.height, d.stride, s.width);
  writes.AddChromaRows(planes.first, s.height / 2, d.stride, rule, s.width / 2);
  writes.AddChromaRows(planes.second, s.height / 2, d.stride, rule, s.width / 2);
  if (!reads.FitsIn(source->capacity) || !writes.FitsIn(destination->capacity)) return false;

  FrameLock lock(*source, *destination);
  if (!lock.ok()) return false;
  uint8_t* first = lock.destination() + planes.first;
  uint8_t* second = lock.destination() + planes.second;
  // The routine's call shape has flip and interlaced arguments; frames are
  // always converted top-down and progressive on this path.
  const int32_t result =
      routine(static_cast<int32_t>(s.width), static_cast<int32_t>(s.height), lock.source(),
              static_cast<int32_t>(sourcePitch), lock.destination(), UPlane(destinationOrder, first, second),
              UPlane(destinationOrder, second, first), static_cast<int32_t>(d.stride), /*flip=*/0, /*interlaced=*/0);
  return result == 0;
}

bool CopyPlanesSwappingChroma(Tessel::Frame* source, const Tessel::ImageProperties* properties,
                              Tessel::Frame* destination) {
  if (!DistinctFrames(source, destination) || properties == nullptr) return false;
  const FrameShape s = ShapeOf(*source);
  const FrameShape d = ShapeOf(*destination);
  if (!FramesAreSound(*source, PixelFormat::I420, *destination, PixelFormat::I420) ||
      !DestinationHolds(d, PixelFormat::I420, s)) {
    return false;
  }
  // Chroma rows follow the image description, which may not describe more
  // rows than the frames hold.
  const int64_t chromaRows = ShapeOf(*properties).height / 2;
  if (chromaRows < 1 || chromaRows > s.height / 2) return false;
  const int64_t chromaBytes = s.width / 2;
  const ChromaPlanes from = SourceChromaPlanes(s.height, s.stride);
  const ChromaPlanes to = PlaneCopyDestinationChromaPlanes(s.height, d.stride);
  Footprint reads;
  reads.AddRows(0, s.height, s.stride, s.width);
  reads.AddChromaRows(from.first, chromaRows, s.stride, ChromaRowRule::HalvedStride, chromaBytes);
  reads.AddChromaRows(from.second, chromaRows, s.stride, ChromaRowRule::HalvedStride, chromaBytes);
  Footprint writes;
  writes.AddRows(0, s.height, d.stride, s.width);
  writes.AddChromaRows(to.first, chromaRows, d.stride, ChromaRowRule::HalvedStride, chromaBytes);
  writes.AddChromaRows(to.second, chromaRows, d.stride, ChromaRowRule::HalvedStride, chromaBytes);
  if (!reads.FitsIn(source->capacity) || !writes.FitsIn(destination->capacity)) return false;

  FrameLock lock(*source, *destination);
  if (!lock.ok()) return false;
  const uint8_t* in = lock.source();
  uint8_t* out = lock.destination();
  const int64_t chromaIn = ChromaRowOffset(1, s.stride, ChromaRowRule::HalvedStride);
  const int64_t chromaOut = ChromaRowOffset(1, d.stride, ChromaRowRule::HalvedStride);
  CopyRows(out, d.stride, in, s.stride, s.width, s.height);
  CopyRows(out + to.first, chromaOut, in + from.second, chromaIn, chromaBytes, chromaRows);
  CopyRows(out + to.second, chromaOut, in + from.first, chromaIn, chromaBytes, chromaRows);
  return true;
}

bool SwapPackedBytePairs(Tessel::Frame* source, Tessel::Frame* destination) {
  if (!DistinctFrames(source, destination)) return false;
  // Before set-up has chosen a variant the plain swap serves: it needs no tables.
  const PackedToPackedRoutine swap = ActiveByteSwapRoutine() ? ActiveByteSwapRoutine() : YUY2ToUYVY;
  const FrameShape s = ShapeOf(*source);
  const FrameShape d = ShapeOf(*destination);
  if (s.stride != d.stride || source->dataSize() > destination->capacity) return false;
  if (!FramesAreSound(*source, PixelFormat::YUY2, *destination, PixelFormat::YUY2) ||
      !DestinationHolds(d, PixelFormat::YUY2, s)) {
    return false;
  }
  const int64_t pitch = RowPitch(PixelFormat::YUY2, s.stride);
  const int64_t rowBytes = 4 * (s.stride / 2);
  Footprint touched;
  touched.AddRows(0, s.height, pitch, rowBytes);
  if (!touched.FitsIn(source->capacity) || !touched.FitsIn(destination->capacity)) return false;

  FrameLock lock(*source, *destination);
  if (!lock.ok()) return false;
  swap(lock.source(), static_cast<int32_t>(s.stride), lock.destination(), static_cast<int32_t>(d.stride),
       static_cast<int32_t>(s.height), static_cast<int32_t>(s.width));
  return true;
}

}  // namespace converters
}  // namespace pellix
