// Frames of one size converted from one format to another through the
// plug-in: each frame, in file layout, is copied into a source frame that
// the plug-in pulls, and the converted frame comes back in file layout.
// Equal formats need no plug-in: the frame is handed through.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formats/pixel_format.h"
#include "host/band_conversion.h"
#include "host/conversion_session.h"
#include "host/plugin_library.h"

namespace pellix::convert {

// Loads the plug-in file at `path` (empty: DefaultPluginPath()). Throws a
// ToolError naming the path and the cause.
std::shared_ptr<const PluginLibrary> LoadPlugin(const std::string& path);

class PluginConversion {
 public:
  // Wires a component for the pair. Throws a ToolError naming the step the
  // plug-in refused.
  // `threads` other than 1 converts each frame as that many bands at once
  // (0: one per core), each through its own component on its own thread.
  PluginConversion(std::shared_ptr<const PluginLibrary> library, PixelFormat from, PixelFormat to, int32_t width,
                   int32_t height, int32_t threads = 1);
  PluginConversion(const PluginConversion&) = delete;
  PluginConversion& operator=(const PluginConversion&) = delete;

  // Reads one frame in file layout into the memory given (false at the end
  // of the input), or takes one converted frame of `size` bytes.
  using FrameReader = std::function<bool(uint8_t* frame)>;
  using FrameWriter = std::function<void(const uint8_t* frame, size_t size)>;

  // Converts one frame; `in` holds fileLayout(from) bytes, `out` is resized
  // to hold the converted frame in file layout. Throws a ToolError when the
  // plug-in refuses the frame.
  void convert(const uint8_t* in, std::vector<uint8_t>& out);
  // Converts the frame `read` gives, handing it to `write`; false, with
  // nothing written, when `read` finds none. Where the file layout is the
  // plug-in frame's (a width that is a multiple of 16), `read` fills the
  // plug-in's source frame and `write` reads its converted frame, with no
  // copy between. Exceptions of `read` and `write` pass through.
  bool convert(const FrameReader& read, const FrameWriter& write);

  PixelFormat from() const { return from_; }
  PixelFormat to() const { return to_; }
  uint64_t inputFrameBytes() const { return inputLayout_.packedBytes(); }
  uint64_t outputFrameBytes() const { return outputLayout_.packedBytes(); }

 private:
  PixelFormat from_;
  PixelFormat to_;
  FrameLayout inputLayout_;
  FrameLayout outputLayout_;
  uint64_t framesDone_ = 0;
  // Set during a pull: fills the source frame the plug-in asks for.
  const FrameReader* reader_ = nullptr;
  bool readFrame_ = false;
  std::exception_ptr readError_;
  std::vector<uint8_t> inScratch_;   // file-layout frames where the layouts differ
  std::vector<uint8_t> outScratch_;
  std::unique_ptr<ConversionSession> session_;
  std::unique_ptr<BandConversion> bands_;  // instead of the session, with threads
};

}  // namespace pellix::convert
