#include "bench/paired_rounds.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/pair_frames.h"
#include "bench/peers.h"
#include "colorconv/converters.h"

namespace pellix::bench {
namespace {

// Long enough per contender and round to dwarf the clock's cost, short
// enough that a round sees one state of the host. Each block is timed as
// the fastest of a few slices, so one interrupt or a neighbour's burst on
// the shared caches does not become a round's ratio.
constexpr double kBlockSeconds = 0.009;
constexpr int kSlicesPerBlock = 3;

// This thread's processor time: the time other processes hold the core
// while we wait is not counted.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Contestant {
  std::function<bool()> frame;  // converts (or copies) one frame
  long framesPerBlock = 1;
  std::vector<double> seconds;  // per frame, one entry per round
};

double SecondsPerFrame(Contestant& c, long frames) {
  const double start = ThreadSeconds();
  for (long i = 0; i < frames; ++i) c.frame();
  return (ThreadSeconds() - start) / static_cast<double>(frames);
}

double FastestSlice(Contestant& c) {
  double best = SecondsPerFrame(c, c.framesPerBlock);
  for (int i = 1; i < kSlicesPerBlock; ++i) best = std::min(best, SecondsPerFrame(c, c.framesPerBlock));
  return best;
}

// After a warm-up frame, as many frames as fill one slice.
void Calibrate(Contestant& c) {
  c.frame();
  const double once = SecondsPerFrame(c, 1);
  c.framesPerBlock = std::max(1L, static_cast<long>(kBlockSeconds / kSlicesPerBlock / std::max(once, 1e-9)));
}

struct Summary {
  double median = 0, low = 0, high = 0;
};

Summary Summarise(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  return {median, v.front(), v.back()};
}

// Per round, how many times faster than `other` ours was.
Summary RatioOver(const Contestant& ours, const Contestant& other) {
  std::vector<double> ratios;
  for (size_t r = 0; r < ours.seconds.size(); ++r) ratios.push_back(other.seconds[r] / ours.seconds[r]);
  return Summarise(ratios);
}

std::string Cell(const Summary& s) {
  char text[48];
  std::snprintf(text, sizeof text, "%.2f [%.2f-%.2f]", s.median, s.low, s.high);
  return text;
}

std::string Rate(double mpx) {
  char text[24];
  std::snprintf(text, sizeof text, "%.0f", mpx);
  return text;
}

void MeasurePair(std::ostream& out, PixelFormat in, PixelFormat to, FrameSize size, int rounds) {
  PairFrames ours(in, to, size);
  PairFrames peer(in, to, size);
  const FrameConverter convert = FrameConverterFor(in, to);
  const Tessel::ImageProperties props = ours.src.imageProperties;
  const LibyuvConversion libyuv = LibyuvConversionFor(in, to);
  const ImageRef s = ImageRefOf(peer.src);
  const ImageRef d = ImageRefOf(peer.dst);
  const size_t bytes = MemcpyBytes(in, to, size);
  std::unique_ptr<uint8_t[]> copyFrom(new uint8_t[bytes]);
  std::unique_ptr<uint8_t[]> copyTo(new uint8_t[bytes]);
  std::memset(copyFrom.get(), 1, bytes);
  std::memset(copyTo.get(), 0, bytes);

  std::vector<Contestant> all(3);
  all[0].frame = [&] { return convert != nullptr && convert(&ours.src, &props, 0, &ours.dst); };
  all[1].frame = [&] { return libyuv.run && libyuv.run(s, d); };
  all[2].frame = [&] {
    std::memcpy(copyTo.get(), copyFrom.get(), bytes);
    return true;
  };
  const std::string pair = PairName(in, to);
  if (!all[0].frame() || !all[1].frame()) {
    out << pair << ": not measured (a contender refused the frame)\n";
    return;
  }
  for (Contestant& c : all) Calibrate(c);
  for (int r = 0; r < rounds; ++r) {
    for (size_t k = 0; k < all.size(); ++k) {
      Contestant& c = all[r % 2 ? all.size() - 1 - k : k];
      c.seconds.push_back(FastestSlice(c));
    }
  }
  const double oursRate = size.megapixels() / Summarise(all[0].seconds).median;
  const double peerRate = size.megapixels() / Summarise(all[1].seconds).median;
  char line[160];
  std::snprintf(line, sizeof line, "%-12s %8s %8s  %-20s %-20s\n", pair.c_str(), Rate(oursRate).c_str(),
                Rate(peerRate).c_str(), Cell(RatioOver(all[0], all[1])).c_str(),
                Cell(RatioOver(all[0], all[2])).c_str());
  out << line << std::flush;
}

}  // namespace

void RunPairedRounds(std::ostream& out, int rounds) {
  rounds = std::max(rounds, 3);
  for (const FrameSize& size : PairSizes()) {
    out << "== Paired rounds at " << size.label() << ": " << rounds
        << " rounds; ratio = ours' speed over the other's, median [lowest-highest round]\n";
    char head[160];
    std::snprintf(head, sizeof head, "%-12s %8s %8s  %-20s %-20s\n", "pair", "ours", "libyuv", "ours/libyuv",
                  "ours/memcpy");
    out << head << std::string(12, ' ') << "     MP/s     MP/s\n";
    for (const FormatPair& formats : kAllPairs) MeasurePair(out, formats.from, formats.to, size, rounds);
    out << '\n';
  }
}

}  // namespace pellix::bench
