// Objects owned by the host engine that a plug-in calls: the host object, the
// frames and the frame allocator. A host implements these classes; the
// plug-in relies only on the members and slots documented here.
//
//   PluginHost     slot 0 destructor, slots 1-7 host operations the plug-in
//                  never calls, slot 8 onPluginReleasing, slot 9 onPluginReleased.
//   Frame          slot 0 destructor, 1 addRef, 2 release, 3 lock, 4 unlock;
//                  fields dataSize (through a reference accessor), capacity,
//                  attribute0, attribute1 and the frame's own imageProperties.
//   FrameAllocator slot 0 destructor, slot 1 unused by the plug-in,
//                  2 setBitsPerPixel, 3 allocateFrame.
#pragma once

#include <cstdint>

#include "values.h"

namespace Tessel {

class Plugin;

class PluginHost {
 public:
  virtual ~PluginHost() = default;
  virtual int32_t hostOperation1() { return 0; }
  virtual int32_t hostOperation2() { return 0; }
  virtual int32_t hostOperation3() { return 0; }
  virtual int32_t hostOperation4() { return 0; }
  virtual int32_t hostOperation5() { return 0; }
  virtual int32_t hostOperation6() { return 0; }
  virtual int32_t hostOperation7() { return 0; }
  // The plug-in is about to delete itself.
  virtual void onPluginReleasing(Plugin* plugin) = 0;  // slot 8
  // The plug-in has deleted itself; the pointer is an identity only.
  virtual void onPluginReleased(Plugin* plugin) = 0;   // slot 9
};

// A reference-counted video frame. Whoever holds a Frame* holds one reference
// and gives it up with release(). Pixel data is valid between lock() and
// unlock(); capacity is the size in bytes of that buffer.
//
// The plug-in relies on the fields in this order: dataSize, capacity,
// attribute0, attribute1, imageProperties (pinned in sdk/record_layout.h).
class Frame {
 private:
  uint32_t dataSize_ = 0;

 public:
  Frame() = default;
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  virtual ~Frame() = default;         // slot 0
  virtual int32_t addRef() = 0;       // slot 1
  virtual int32_t release() = 0;      // slot 2
  virtual uint8_t* lock() = 0;        // slot 3
  virtual void unlock() = 0;          // slot 4

  // Bytes of valid data; a producer sets it through the reference.
  uint32_t& dataSize() { return dataSize_; }
  uint32_t dataSize() const { return dataSize_; }

  uint32_t capacity = 0;    // bytes in the buffer lock() returns
  uint32_t attribute0 = 0;  // travel unchanged from a source frame to its conversion
  uint32_t attribute1 = 0;
  ImageProperties imageProperties;  // width, height and stride of the pixels

 private:
  friend struct FrameRecordLayout;
};

// Makes destination frames for a component's output port.
class FrameAllocator {
 public:
  virtual ~FrameAllocator() = default;                  // slot 0
  virtual int32_t hostOperation1() { return 0; }        // slot 1, unused by the plug-in
  virtual void setBitsPerPixel(int32_t bits) = 0;       // slot 2
  // A new frame holding one reference for the caller, or null.
  virtual Frame* allocateFrame(int32_t width, int32_t height, int32_t count) = 0;  // slot 3
};

}  // namespace Tessel
