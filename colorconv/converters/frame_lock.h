// Holds both frames of a conversion locked: the source is locked first and
// unlocked last, as hosts expect.
#pragma once

#include <cstdint>

#include "sdk/host.h"

namespace pellix {
namespace converters {

class FrameLock {
 public:
  FrameLock(Tessel::Frame& source, Tessel::Frame& destination)
      : source_(source), destination_(destination), sourceData_(source.lock()), destinationData_(destination.lock()) {}
  ~FrameLock() {
    destination_.unlock();
    source_.unlock();
  }
  FrameLock(const FrameLock&) = delete;
  FrameLock& operator=(const FrameLock&) = delete;

  // A host that cannot map a frame answers lock() with null.
  bool ok() const { return sourceData_ != nullptr && destinationData_ != nullptr; }
  const uint8_t* source() const { return sourceData_; }
  uint8_t* destination() const { return destinationData_; }

 private:
  Tessel::Frame& source_;
  Tessel::Frame& destination_;
  const uint8_t* sourceData_;
  uint8_t* destinationData_;
};

}  // namespace converters
}  // namespace pellix
