// Shared pieces of the concurrency tests: the built plug-in loaded once per
// process, a one-shot gate to line threads up, sessions whose source frames
// are the same deterministic image every time (so every pull of a session
// must give the same bytes), that image converted with nothing else
// running, and a frame's whole buffer.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "formats/pixel_format.h"
#include "host/conversion_session.h"
#include "host/plugin_library.h"
#include "sdk/host.h"

namespace pellix::concurrency {

std::shared_ptr<const PluginLibrary> Library();

// wait() blocks until open(); open() is final.
class Gate {
 public:
  void open();
  void wait();

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

// A session converting `pair` at width x height; its source frames all hold
// the image `seed` picks.
SessionOptions SameImageEveryFrame(FormatPair pair, int32_t width, int32_t height, uint64_t seed);

// The bytes of that session's first frame, converted with nothing else
// running; checked (with gtest expectations) against the routine of the
// pair called directly.
std::vector<uint8_t> ConvertAlone(FormatPair pair, int32_t width, int32_t height, uint64_t seed);

std::vector<uint8_t> FrameBytes(Tessel::Frame& frame);

}  // namespace pellix::concurrency
