// YUV4MPEG2 streams of 8-bit 4:2:0 video (I420 frames), read with strict
// checks of the stream header and of every frame marker, and written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/pellix_convert/raw_io.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {

struct Y4mHeader {
  int32_t width = 0;
  int32_t height = 0;
  std::string frameRate = "25:1";      // the F parameter's value; "0:0" is unknown
  std::string interlacing = "p";       // the I parameter's value
  std::string aspect = "1:1";          // the A parameter's value
  std::string colourSpace = "420jpeg";  // the C parameter's value (one of the 4:2:0 ones)
  std::vector<std::string> extensions;  // the X parameters' values, in order

  // XCOLORRANGE=FULL: samples use the full 0..255 range (FFmpeg's yuvj420p).
  bool fullRange() const;
};

// A well-formed header of a stream pellix-convert cannot read (4:2:2, 4:4:4,
// monochrome, more than 8 bits, ...).
class Y4mUnsupported : public ToolError {
 public:
  using ToolError::ToolError;
};

// Parses the header line without its "YUV4MPEG2 " magic and end of line.
// Throws Y4mUnsupported for a stream of another colour space and a
// ToolError for a malformed header.
Y4mHeader ParseY4mParameters(const std::string& parameters);

// Whether the next bytes of the input (not consumed) begin a YUV4MPEG2 stream.
bool StartsWithY4mMagic(InputStream& input);

class Y4mReader {
 public:
  // Reads and checks the stream header.
  explicit Y4mReader(InputStream& input);

  const Y4mHeader& header() const { return header_; }
  // Bytes of one I420 frame of the header's size.
  uint64_t frameBytes() const { return frameBytes_; }

  // True with the next frame's pixels in `data`; false at the end of the
  // stream. Throws for a truncated or malformed frame marker or frame.
  bool readFrame(uint8_t* data);

  // Frames still to come, estimated from the file length where it is known.
  std::optional<uint64_t> framesRemaining() const;

 private:
  InputStream& input_;
  Y4mHeader header_;
  uint64_t frameBytes_ = 0;
  uint64_t framesRead_ = 0;
};

class Y4mWriter {
 public:
  Y4mWriter(OutputFile& output, const Y4mHeader& header);
  void writeFrame(const uint8_t* data, uint64_t size);

 private:
  OutputFile& output_;
};

}  // namespace pellix::convert
