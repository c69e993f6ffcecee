#include "tools/pellix_convert/y4m.h"

#include <cstring>
#include <limits>
#include <vector>

#include "tools/pellix_convert/frame_files.h"
#include "tools/pellix_convert/size_and_rate.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

constexpr char kMagic[] = "YUV4MPEG2 ";
constexpr size_t kMagicBytes = sizeof(kMagic) - 1;
constexpr char kFrameMarker[] = "FRAME";
constexpr size_t kFrameMarkerBytes = sizeof(kFrameMarker) - 1;
// Longest header or frame-marker line accepted; real streams use well under 100 bytes.
constexpr size_t kLongestLine = 4096;

// Sizes and ratio terms: positive and within 32 bits.
std::optional<int64_t> ParsePositive(const std::string& text) {
  return ParseDecimal(text, 1, std::numeric_limits<int32_t>::max());
}

// The colour spaces of 8-bit 4:2:0 frames, differing only in where chroma is
// sited; the samples are I420 either way.
constexpr const char* kPlanar420Spaces[] = {"420jpeg", "420mpeg2", "420paldv", "420"};

bool IsPlanar420(const std::string& space) {
  for (const char* known : kPlanar420Spaces) {
    if (space == known) return true;
  }
  return false;
}

// "n:d": two positive decimal numbers, or 0:0 (unknown) where `allowZero`.
bool IsRatio(const std::string& text, bool allowZero) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  const std::string left = text.substr(0, colon);
  const std::string right = text.substr(colon + 1);
  if (allowZero && left == "0" && right == "0") return true;
  return ParsePositive(left) && ParsePositive(right);
}

[[noreturn]] void Malformed(const std::string& why) { throw ToolError(why); }

// Reads up to the end of the line; throws when the input ends first or the
// line is longer than any real header.
std::string ReadLine(InputStream& input, const std::string& truncated, const std::string& tooLong) {
  std::string line;
  for (;;) {
    const int c = input.readByte();
    if (c < 0) throw ToolError(truncated);
    if (c == '\n') return line;
    if (line.size() == kLongestLine) throw ToolError(tooLong);
    line.push_back(static_cast<char>(c));
  }
}

}  // namespace

Y4mHeader ParseY4mParameters(const std::string& parameters) {
  Y4mHeader header;
  bool haveWidth = false;
  bool haveHeight = false;
  size_t at = 0;
  while (at < parameters.size()) {
    if (parameters[at] == ' ') {
      ++at;
      continue;
    }
    size_t end = parameters.find(' ', at);
    if (end == std::string::npos) end = parameters.size();
    const std::string token = parameters.substr(at, end - at);
    at = end;
    const char tag = token[0];
    const std::string value = token.substr(1);
    switch (tag) {
      case 'W':
      case 'H': {
        bool& seen = tag == 'W' ? haveWidth : haveHeight;
        if (seen) Malformed(std::string("parameter ") + tag + " given twice");
        const std::optional<int64_t> number = ParsePositive(value);
        if (!number) {
          Malformed(std::string(tag == 'W' ? "width" : "height") + " '" + token + "' is not a positive number");
        }
        (tag == 'W' ? header.width : header.height) = static_cast<int32_t>(*number);
        seen = true;
        break;
      }
      case 'F':
        if (!IsRatio(value, true)) Malformed("frame rate '" + token + "' is not N:D");
        header.frameRate = value;
        break;
      case 'A':
        if (!IsRatio(value, true)) Malformed("aspect ratio '" + token + "' is not N:D");
        header.aspect = value;
        break;
      case 'I':
        if (value.size() != 1 || std::strchr("ptbm?", value[0]) == nullptr) {
          Malformed("interlacing '" + token + "' is not one of Ip, It, Ib, Im, I?");
        }
        header.interlacing = value;
        break;
      case 'C':
        if (!IsPlanar420(value)) {
          throw Y4mUnsupported("colour space '" + token +
                               "' is not supported: pellix-convert reads 8-bit 4:2:0 streams only (C420jpeg, "
                               "C420mpeg2, C420paldv, C420 or no C); convert with FFmpeg first (-pix_fmt yuv420p)");
        }
        header.colourSpace = value;
        break;
      case 'X':
        header.extensions.push_back(value);
        break;
      default:
        // Other tags are carried by some writers; their values do not matter here.
        if (tag < 'A' || tag > 'Z') Malformed("'" + token + "' is not a parameter");
        break;
    }
  }
  if (!haveWidth) Malformed("no width (W)");
  if (!haveHeight) Malformed("no height (H)");
  return header;
}

Y4mReader::Y4mReader(InputStream& input) : input_(input) {
  char magic[kMagicBytes];
  const size_t got = input_.read(reinterpret_cast<uint8_t*>(magic), kMagicBytes);
  if (got == kMagicBytes && std::memcmp(magic, kMagic, kMagicBytes) != 0) {
    throw ToolError("input " + input_.name() + " is not a YUV4MPEG2 stream: it does not begin with 'YUV4MPEG2 '");
  }
  if (got < kMagicBytes) {
    if (std::memcmp(magic, kMagic, got) != 0) {
      throw ToolError("input " + input_.name() + " is not a YUV4MPEG2 stream: it does not begin with 'YUV4MPEG2 '");
    }
    throw ToolError("truncated YUV4MPEG2 header in input " + input_.name());
  }
  const std::string where = " in input " + input_.name();
  const std::string line = ReadLine(
      input_, "truncated YUV4MPEG2 header" + where,
      "malformed YUV4MPEG2 header" + where + ": no end of line within " + std::to_string(kLongestLine) + " bytes");
  if (!line.empty() && line.back() == '\r') {
    // A carriage return would end up glued to the last parameter (F25:1\r);
    // a stream whose line ends were rewritten has its frames damaged too.
    throw ToolError("malformed YUV4MPEG2 header" + where +
                    ": the line ends in CR LF, but YUV4MPEG2 lines end in a bare LF (was the stream converted "
                    "to DOS line ends? Its frames are then damaged as well: make it again)");
  }
  try {
    header_ = ParseY4mParameters(line);
  } catch (const Y4mUnsupported& error) {
    throw ToolError("unsupported YUV4MPEG2 stream" + where + ": " + error.what());
  } catch (const ToolError& error) {
    throw ToolError("malformed YUV4MPEG2 header" + where + ": " + error.what());
  }
  const std::string problem = SizeProblem(PixelFormat::I420, header_.width, header_.height);
  if (!problem.empty()) throw ToolError("YUV4MPEG2 input " + input_.name() + ": " + problem);
  frameBytes_ = FileLayout(PixelFormat::I420, header_.width, header_.height).packedBytes();
}

bool Y4mReader::readFrame(uint8_t* data) {
  const std::string where = " before frame " + std::to_string(framesRead_) + " in input " + input_.name();
  char marker[kFrameMarkerBytes + 1];
  const size_t got = input_.read(reinterpret_cast<uint8_t*>(marker), kFrameMarkerBytes + 1);
  if (got == 0) return false;
  const bool prefixMatches = std::memcmp(marker, kFrameMarker, std::min(got, kFrameMarkerBytes)) == 0;
  if (!prefixMatches) throw ToolError("malformed YUV4MPEG2 frame marker" + where + ": expected 'FRAME'");
  if (got < kFrameMarkerBytes + 1) throw TruncatedInput("truncated YUV4MPEG2 frame marker" + where);
  const char after = marker[kFrameMarkerBytes];
  if (after == ' ') {
    ReadLine(input_, "truncated YUV4MPEG2 frame marker" + where,
             "malformed YUV4MPEG2 frame marker" + where + ": no end of line within " + std::to_string(kLongestLine) +
                 " bytes");
  } else if (after != '\n') {
    throw ToolError("malformed YUV4MPEG2 frame marker" + where + ": expected 'FRAME'");
  }
  const size_t pixels = input_.read(data, frameBytes_);
  if (pixels != frameBytes_) {
    throw TruncatedInput("truncated YUV4MPEG2 frame " + std::to_string(framesRead_) + " in input " + input_.name() + ": " +
                    std::to_string(pixels) + " of " + std::to_string(frameBytes_) + " bytes");
  }
  ++framesRead_;
  return true;
}

std::optional<uint64_t> Y4mReader::framesRemaining() const {
  const auto remaining = input_.bytesRemaining();
  if (!remaining) return std::nullopt;
  return *remaining / (frameBytes_ + kFrameMarkerBytes + 1);
}

bool Y4mHeader::fullRange() const {
  for (const std::string& extension : extensions) {
    if (extension == "COLORRANGE=FULL") return true;
  }
  return false;
}

bool StartsWithY4mMagic(InputStream& input) {
  uint8_t start[kMagicBytes];
  return input.peek(start, kMagicBytes) == kMagicBytes && std::memcmp(start, kMagic, kMagicBytes) == 0;
}

Y4mWriter::Y4mWriter(OutputFile& output, const Y4mHeader& header) : output_(output) {
  std::string line = std::string(kMagic) + "W" + std::to_string(header.width) + " H" + std::to_string(header.height) +
                     " F" + header.frameRate + " I" + header.interlacing + " A" + header.aspect + " C" +
                     header.colourSpace;
  for (const std::string& extension : header.extensions) line += " X" + extension;
  line += "\n";
  output_.write(reinterpret_cast<const uint8_t*>(line.data()), line.size());
}

void Y4mWriter::writeFrame(const uint8_t* data, uint64_t size) {
  static const char marker[] = "FRAME\n";
  output_.write(reinterpret_cast<const uint8_t*>(marker), sizeof(marker) - 1);
  output_.write(data, size);
}

}  // namespace pellix::convert
