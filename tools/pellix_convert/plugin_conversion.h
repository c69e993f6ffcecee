// Frames of one size converted from one format to another through the
// plug-in: each frame, in file layout, is copied into a source frame that
// the plug-in pulls, and the converted frame comes back in file layout.
// Equal formats need no plug-in: the frame is handed through.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/pixel_format.h"
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
  PluginConversion(std::shared_ptr<const PluginLibrary> library, PixelFormat from, PixelFormat to, int32_t width,
                   int32_t height);
  PluginConversion(const PluginConversion&) = delete;
  PluginConversion& operator=(const PluginConversion&) = delete;

  // Converts one frame; `in` holds fileLayout(from) bytes, `out` is resized
  // to hold the converted frame in file layout. Throws a ToolError when the
  // plug-in refuses the frame.
  void convert(const uint8_t* in, std::vector<uint8_t>& out);

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
  const uint8_t* pending_ = nullptr;  // the frame the source port hands out next
  std::unique_ptr<ConversionSession> session_;
};

}  // namespace pellix::convert
