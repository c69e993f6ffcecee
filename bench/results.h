// What the benchmarks registered and what they measured: the benchmark
// program's one shared record, filled while benchmarks run and read by the
// tables and the summary printed at the end.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "formats/pixel_format.h"

namespace pellix::bench {

struct FrameSize {
  int32_t width;
  int32_t height;
  std::string label() const { return std::to_string(width) + "x" + std::to_string(height); }
  double megapixels() const { return static_cast<double>(width) * height / 1e6; }
};

// Whole frames are measured from 4K down to CIF; routines and pulls at the
// two sizes every pair is judged at, 1080p first.
inline const std::vector<FrameSize>& PairSizes() {
  static const std::vector<FrameSize> sizes = {{3840, 2160}, {1920, 1080}, {352, 288}};
  return sizes;
}
inline const std::vector<FrameSize>& RoutineSizes() {
  static const std::vector<FrameSize> sizes = {{1920, 1080}, {352, 288}};
  return sizes;
}

enum class Contender { Ours, Libyuv, Libswscale, Memcpy };
const char* ContenderName(Contender c);

std::string PairName(PixelFormat input, PixelFormat output);  // "I420ToBGRA"

struct RoutineEntry {
  std::string benchmark;
  int slot;             // the routine table slot, or -1 for the byte swap
  std::string routine;  // the variant's own name, e.g. Planar420ToBGRA_MMX
  std::string tier;     // plain, MMX, SSE, SSE2, AVX2 or AVX512
  bool active;          // what this processor runs after set-up
  FrameSize size;
};

struct PairEntry {
  std::string benchmark;
  PixelFormat input;
  PixelFormat output;
  FrameSize size;
  Contender contender;
  std::string how;  // the call or chain that does the work
};

struct PullEntry {
  std::string benchmark;
  PixelFormat input;
  PixelFormat output;
  FrameSize size;
  bool pooledFrames;  // the host reuses released destination frames
};

class ResultBook {
 public:
  static ResultBook& instance();

  void add(RoutineEntry entry) { routines_.push_back(std::move(entry)); }
  void add(PairEntry entry) { pairs_.push_back(std::move(entry)); }
  void add(PullEntry entry) { pulls_.push_back(std::move(entry)); }
  void setPairAgreement(const std::string& pair, std::string text);

  // A median replaces a single run; a single run never replaces a median.
  void record(const std::string& benchmark, double megapixelsPerSecond, bool isMedian);
  std::optional<double> measured(const std::string& benchmark) const;

  const std::vector<RoutineEntry>& routines() const { return routines_; }
  const std::vector<PairEntry>& pairs() const { return pairs_; }
  const std::vector<PullEntry>& pulls() const { return pulls_; }
  std::string pairAgreement(const std::string& pair) const;

 private:
  struct Measurement {
    double value;
    bool isMedian;
  };
  std::vector<RoutineEntry> routines_;
  std::vector<PairEntry> pairs_;
  std::vector<PullEntry> pulls_;
  std::map<std::string, Measurement> measurements_;
  std::map<std::string, std::string> agreements_;
};

// The megapixels-per-second counter every benchmark sets.
inline constexpr const char* kRateCounter = "Mpx";

// The tables, then the machine-readable summary, from what was measured.
void PrintRoutineTable(std::ostream& out);
void PrintPairTables(std::ostream& out);
void PrintPullTable(std::ostream& out);
void PrintSummary(std::ostream& out);

}  // namespace pellix::bench
