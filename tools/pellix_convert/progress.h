// The progress line on standard error: frames done, frames per second and,
// when the total is known, the time left. Shown only on a terminal, only
// once a run has taken more than a second, and redrawn a few times a second.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace pellix::convert {

// The text of one progress line (without the carriage return).
std::string ProgressText(uint64_t done, std::optional<uint64_t> total, double seconds);

class ProgressLine {
 public:
  // `enabled` false (--quiet) or standard error not a terminal: silent.
  explicit ProgressLine(bool enabled);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void setTotal(std::optional<uint64_t> total) { total_ = total; }
  void update(uint64_t done);
  // Draws the final count and ends the line, if a line was drawn.
  void finish();

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  bool drawn_ = false;
  std::optional<uint64_t> total_;
  uint64_t done_ = 0;
  Clock::time_point start_;
  Clock::time_point lastDraw_;
};

}  // namespace pellix::convert
