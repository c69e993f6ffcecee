// Ready-made FrameProducers for a SourcePort.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "host/frame.h"
#include "host/frame_layout.h"
#include "host/frame_pool.h"
#include "host/frame_ref.h"
#include "host/source_port.h"

namespace pellix {

// Fills the pixels of source frame number `index` (0, 1, ...); the frame is
// laid out as `layout` says (PlaneRule::Source). May set attribute0/1.
using FrameFiller = std::function<void(HostFrame& frame, const FrameLayout& layout, uint64_t index)>;

// New frames of `layout` from `pool`: description width, height, stride of
// the layout, capacity layout.bytes, dataSize layout.bytes, then `fill`
// (none: pixels left zero). Null when memory runs out.
FrameProducer MakeFilledFrameProducer(std::shared_ptr<FramePool> pool, FrameLayout layout, FrameFiller fill);

// The same frame every time, one new reference per call: the cheapest
// producer, for benchmarks. The producer keeps `frame`'s reference until it
// is destroyed.
FrameProducer MakeRepeatingProducer(FrameRef frame);

}  // namespace pellix
