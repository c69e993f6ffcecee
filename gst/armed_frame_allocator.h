// The frame allocator the element hands to the plug-in. Before each pull the
// element arms it with the one destination frame that conversion may have:
// either a frame over the output buffer itself, or a new host frame of the
// planned layout to be copied out afterwards. A request for any other size
// or bits per pixel, or a second request in the same pull, is refused, so a
// frame the plug-in converts into always matches the negotiated output.
#pragma once

#include <cstdint>
#include <memory>

#include "host/frame_layout.h"
#include "host/frame_pool.h"
#include "host/frame_ref.h"
#include "sdk/host.h"

namespace pellix::gst {

class ArmedFrameAllocator final : public Tessel::FrameAllocator {
 public:
  // Copies are made in a pool of these buffer options.
  ArmedFrameAllocator(std::shared_ptr<FrameLedger> ledger, FrameBufferOptions buffers);

  void setBitsPerPixel(int32_t bits) override { bits_ = bits; }
  Tessel::Frame* allocateFrame(int32_t width, int32_t height, int32_t count) override;

  // The next request of `layout`'s size gets `frame` (its reference passes
  // to the plug-in), or a new pool frame of `layout` when `frame` is empty.
  void arm(const FrameLayout& layout, FrameRef frame);
  // Drops what was armed and not taken.
  void disarm();

 private:
  FramePool pool_;
  int32_t bits_ = 0;
  bool armed_ = false;
  FrameLayout layout_;
  FrameRef frame_;
};

}  // namespace pellix::gst
