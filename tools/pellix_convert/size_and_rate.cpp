#include "tools/pellix_convert/size_and_rate.h"

#include <strings.h>

#include <limits>
#include <numeric>
#include <optional>

#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();

// FFmpeg's video size abbreviations (libavutil, documented in ffmpeg-utils).
struct NamedSize {
  const char* name;
  int32_t width;
  int32_t height;
};
constexpr NamedSize kSizeNames[] = {
    {"ntsc", 720, 480},     {"pal", 720, 576},       {"qntsc", 352, 240},     {"qpal", 352, 288},
    {"sntsc", 640, 480},    {"spal", 768, 576},      {"film", 352, 240},      {"ntsc-film", 352, 240},
    {"sqcif", 128, 96},     {"qcif", 176, 144},      {"cif", 352, 288},       {"4cif", 704, 576},
    {"16cif", 1408, 1152},  {"qqvga", 160, 120},     {"qvga", 320, 240},      {"vga", 640, 480},
    {"svga", 800, 600},     {"xga", 1024, 768},      {"uxga", 1600, 1200},    {"qxga", 2048, 1536},
    {"sxga", 1280, 1024},   {"qsxga", 2560, 2048},   {"hsxga", 5120, 4096},   {"wvga", 852, 480},
    {"wxga", 1366, 768},    {"wsxga", 1600, 1024},   {"wuxga", 1920, 1200},   {"woxga", 2560, 1600},
    {"wqsxga", 3200, 2048}, {"wquxga", 3840, 2400},  {"whsxga", 6400, 4096},  {"whuxga", 7680, 4800},
    {"cga", 320, 200},      {"ega", 640, 350},       {"hd480", 852, 480},     {"hd720", 1280, 720},
    {"hd1080", 1920, 1080}, {"2k", 2048, 1080},      {"2kflat", 1998, 1080},  {"2kscope", 2048, 858},
    {"4k", 4096, 2160},     {"4kflat", 3996, 2160},  {"4kscope", 4096, 1716}, {"nhd", 640, 360},
    {"hqvga", 240, 160},    {"wqvga", 400, 240},     {"fwqvga", 432, 240},    {"hvga", 480, 320},
    {"qhd", 960, 540},      {"2kdci", 2048, 1080},   {"4kdci", 4096, 2160},   {"uhd2160", 3840, 2160},
    {"uhd4320", 7680, 4320},
};

// FFmpeg's video rate abbreviations.
struct NamedRate {
  const char* name;
  int64_t numerator;
  int64_t denominator;
};
constexpr NamedRate kRateNames[] = {
    {"ntsc", 30000, 1001}, {"pal", 25, 1},  {"qntsc", 30000, 1001}, {"qpal", 25, 1},
    {"sntsc", 30000, 1001}, {"spal", 25, 1}, {"film", 24, 1},         {"ntsc-film", 24000, 1001},
};

std::optional<std::pair<int64_t, int64_t>> ParseRatio(const std::string& text) {
  const size_t split = text.find_first_of("/:");
  if (split != std::string::npos) {
    const auto n = ParseDecimal(text.substr(0, split), 1, kLargest);
    const auto d = ParseDecimal(text.substr(split + 1), 1, kLargest);
    if (n && d) return std::make_pair(*n, *d);
    return std::nullopt;
  }
  const size_t point = text.find('.');
  if (point == std::string::npos) {
    const auto n = ParseDecimal(text, 1, kLargest);
    if (n) return std::make_pair(*n, int64_t{1});
    return std::nullopt;
  }
  // A decimal: its digits over a power of ten (at most nine places, so the
  // denominator fits in 31 bits).
  const std::string whole = text.substr(0, point);
  const std::string fraction = text.substr(point + 1);
  if (fraction.empty() || fraction.size() > 9) return std::nullopt;
  const auto w = whole.empty() ? std::optional<int64_t>(0) : ParseDecimal(whole, 0, kLargest);
  const auto f = ParseDecimal(fraction, 0, kLargest);
  if (!w || !f) return std::nullopt;
  int64_t scale = 1;
  for (size_t i = 0; i < fraction.size(); ++i) scale *= 10;
  return std::make_pair(*w * scale + *f, scale);
}

}  // namespace

std::optional<int64_t> ParseDecimal(const std::string& text, int64_t low, int64_t high) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::vector<std::pair<std::string, FrameSize>> FrameSizeNames() {
  std::vector<std::pair<std::string, FrameSize>> names;
  for (const NamedSize& size : kSizeNames) names.emplace_back(size.name, FrameSize{size.width, size.height});
  return names;
}

FrameSize ParseFrameSize(const std::string& text) {
  for (const NamedSize& size : kSizeNames) {
    if (strcasecmp(text.c_str(), size.name) == 0) return FrameSize{size.width, size.height};
  }
  const size_t x = text.find_first_of("xX");
  if (x != std::string::npos) {
    const auto width = ParseDecimal(text.substr(0, x), 1, kLargest);
    const auto height = ParseDecimal(text.substr(x + 1), 1, kLargest);
    if (width && height) return FrameSize{static_cast<int32_t>(*width), static_cast<int32_t>(*height)};
  }
  throw UsageError("malformed size '" + text +
                   "': expected WIDTHxHEIGHT with positive numbers, e.g. 640x480, or a name such as hd720");
}

std::string ParseFrameRate(const std::string& text) {
  std::optional<std::pair<int64_t, int64_t>> rate;
  for (const NamedRate& named : kRateNames) {
    if (strcasecmp(text.c_str(), named.name) == 0) rate = std::make_pair(named.numerator, named.denominator);
  }
  if (!rate) rate = ParseRatio(text);
  if (rate && rate->first > 0) {
    const int64_t common = std::gcd(rate->first, rate->second);
    const int64_t n = rate->first / common;
    const int64_t d = rate->second / common;
    if (n <= kLargest && d <= kLargest) return std::to_string(n) + ":" + std::to_string(d);
  }
  throw UsageError("malformed frame rate '" + text +
                   "': expected a positive number (25, 29.97), N/D (30000/1001) or a name such as ntsc");
}

}  // namespace pellix::convert
