// Reading a frame the plug-in delivered: every host that copies converted
// pixels out makes the same checks first, here.
#pragma once

#include <cstdint>

#include "host/frame_layout.h"
#include "host/frame_ref.h"
#include "sdk/host.h"

namespace pellix {

enum class ConvertedFrameFault {
  None,
  // The buffer ends before the last byte `layout` places in it.
  TooSmall,
  // Locking the frame gave no memory.
  NoPixels,
};

// Locks `frame` and gives `read` its first byte when the frame's buffer holds
// all of `layout`; otherwise reads nothing and says why. Whether the frame's
// image is the one asked for is the caller's judgement (a file may take any
// stride, a GStreamer buffer only its own).
template <class Read>
ConvertedFrameFault ReadConvertedFrame(Tessel::Frame& frame, const FrameLayout& layout, Read&& read) {
  if (layout.bytes > frame.capacity) return ConvertedFrameFault::TooSmall;
  FrameLock lock(frame);
  if (lock.data() == nullptr) return ConvertedFrameFault::NoPixels;
  read(static_cast<const uint8_t*>(lock.data()));
  return ConvertedFrameFault::None;
}

}  // namespace pellix
