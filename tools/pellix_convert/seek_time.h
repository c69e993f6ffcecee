// FFmpeg's -ss: a time in the input, as [HH:]MM:SS[.fraction] or seconds
// [.fraction], read to the microsecond, and the first frame at or after it.
#pragma once

#include <cstdint>
#include <string>

namespace pellix::convert {

struct SeekTime {
  int64_t seconds = 0;
  int64_t microseconds = 0;  // below 1000000
};

// Throws a usage ToolError for anything but a time of at most 10^9 seconds.
SeekTime ParseSeekTime(const std::string& text);

// The index of the first frame whose time (index x D / N seconds at the rate
// "N:D", both positive and below 2^31) is at or after `time`, exactly.
int64_t FirstFrameAt(const SeekTime& time, int64_t rateNumerator, int64_t rateDenominator);

}  // namespace pellix::convert
