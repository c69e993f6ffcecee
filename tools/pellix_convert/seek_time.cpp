#include "tools/pellix_convert/seek_time.h"

#include <vector>

#include "tools/pellix_convert/size_and_rate.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

constexpr int64_t kMostSeconds = 1000000000;
constexpr int64_t kMicro = 1000000;

std::vector<std::string> SplitAtColons(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == ':') {
      parts.emplace_back();
    } else {
      parts.back().push_back(c);
    }
  }
  return parts;
}

}  // namespace

SeekTime ParseSeekTime(const std::string& text) {
  const auto malformed = [&] {
    return UsageError("malformed time '" + text +
                      "' for -ss: expected seconds (2, 1.5) or [HH:]MM:SS[.fraction] (00:01:02.5); "
                      "--start N counts frames");
  };
  std::string whole = text;
  std::string fraction;
  if (const size_t dot = text.find('.'); dot != std::string::npos) {
    whole = text.substr(0, dot);
    fraction = text.substr(dot + 1);
    if (fraction.empty()) throw malformed();
  }
  const std::vector<std::string> parts = SplitAtColons(whole);
  if (parts.size() > 3) throw malformed();
  SeekTime time;
  for (size_t i = 0; i < parts.size(); ++i) {
    // Minutes and seconds after a colon are two digits, below 60.
    const bool sexagesimal = i > 0;
    const int64_t high = sexagesimal ? 59 : kMostSeconds;
    const auto value = ParseDecimal(parts[i], 0, high);
    if (!value || (sexagesimal && parts[i].size() != 2)) throw malformed();
    time.seconds = time.seconds * 60 + *value;
  }
  if (time.seconds > kMostSeconds) throw malformed();
  int64_t scale = kMicro;
  for (char c : fraction) {
    if (c < '0' || c > '9') throw malformed();
    scale /= 10;  // digits past the microsecond are dropped, as FFmpeg does
    time.microseconds += (c - '0') * scale;
  }
  return time;
}

int64_t FirstFrameAt(const SeekTime& time, int64_t rateNumerator, int64_t rateDenominator) {
  // ceil((seconds + micro / 10^6) x N / D), split so no product exceeds 2^63:
  // seconds x N = q x D + r, then the rest is (r x 10^6 + micro x N) / (D x 10^6).
  const int64_t q = time.seconds * rateNumerator / rateDenominator;
  const int64_t r = time.seconds * rateNumerator % rateDenominator;
  const int64_t rest = r * kMicro + time.microseconds * rateNumerator;
  const int64_t unit = rateDenominator * kMicro;
  return q + (rest + unit - 1) / unit;
}

}  // namespace pellix::convert
