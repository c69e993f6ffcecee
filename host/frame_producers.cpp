#include "host/frame_producers.h"

#include <atomic>
#include <new>
#include <utility>

#include "formats/frame_rules.h"

namespace pellix {

FrameProducer MakeFilledFrameProducer(std::shared_ptr<FramePool> pool, FrameLayout layout, FrameFiller fill) {
  auto next = std::make_shared<std::atomic<uint64_t>>(0);
  return [pool = std::move(pool), layout, fill = std::move(fill), next]() -> Tessel::Frame* {
    if (!FitsInAFrame(layout.bytes)) return nullptr;
    Tessel::ImageProperties image;
    image.width = layout.width;
    image.height = layout.height;
    image.stride = layout.stride;
    HostFrame* frame = nullptr;
    try {
      frame = pool->acquire(static_cast<uint32_t>(layout.bytes), image);
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
    frame->dataSize() = static_cast<uint32_t>(layout.bytes);
    // Held in a FrameRef while filling, so a throwing filler releases it.
    FrameRef held(frame);
    if (fill) fill(*frame, layout, next->fetch_add(1));
    return held.detach();
  };
}

FrameProducer MakeRepeatingProducer(FrameRef frame) {
  auto shared = std::make_shared<FrameRef>(std::move(frame));
  return [shared]() -> Tessel::Frame* {
    Tessel::Frame* f = shared->get();
    if (f != nullptr) f->addRef();
    return f;
  };
}

}  // namespace pellix
