// The tables printed after the benchmarks, and the machine-readable summary.
#include <cstdio>
#include <optional>
#include <set>
#include <string>

#include "bench/results.h"

namespace pellix::bench {
namespace {

std::string Format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

std::string Rate(std::optional<double> v) { return v ? Format("%.1f", *v) : "NA"; }

std::string Ratio(std::optional<double> a, std::optional<double> b) {
  return a && b && *b > 0 ? Format("%.2f", *a / *b) : "NA";
}

std::string Pad(const std::string& s, size_t width, bool right = true) {
  if (s.size() >= width) return s;
  const std::string fill(width - s.size(), ' ');
  return right ? fill + s : s + fill;
}

std::optional<double> Measured(const std::string& benchmark) { return ResultBook::instance().measured(benchmark); }

std::string PairBenchmark(const std::string& pair, const FrameSize& size, Contender c) {
  return "pair/" + pair + "/" + size.label() + "/" + ContenderName(c);
}

// Pair names in registration order, each once.
std::vector<std::string> PairNames() {
  std::vector<std::string> names;
  std::set<std::string> seen;
  for (const PairEntry& e : ResultBook::instance().pairs()) {
    const std::string name = PairName(e.input, e.output);
    if (seen.insert(name).second) names.push_back(name);
  }
  return names;
}

}  // namespace

void PrintRoutineTable(std::ostream& out) {
  const auto& sizes = RoutineSizes();
  out << "== Routines: each routine in each variant this processor runs (median MP/s; * = installed here; vs plain at "
      << sizes.front().label() << ")\n";
  out << Pad("slot", 4) << "  " << Pad("routine", 26, false) << Pad("tier", 7, false);
  for (const FrameSize& size : sizes) out << Pad(size.label(), 12);
  out << Pad("vs plain", 10) << '\n';
  std::set<std::string> printed;
  for (const RoutineEntry& e : ResultBook::instance().routines()) {
    if (!printed.insert(e.routine).second) continue;
    std::string plainName;
    for (const RoutineEntry& p : ResultBook::instance().routines()) {
      if (p.slot == e.slot && p.tier == "plain") plainName = p.routine;
    }
    out << Pad(e.slot < 0 ? "-" : std::to_string(e.slot), 4) << "  "
        << Pad(e.routine + (e.active ? " *" : ""), 26, false) << Pad(e.tier, 7, false);
    for (const FrameSize& size : sizes) out << Pad(Rate(Measured("routine/" + e.routine + "/" + size.label())), 12);
    const std::string first = "/" + sizes.front().label();
    out << Pad(Ratio(Measured("routine/" + e.routine + first), Measured("routine/" + plainName + first)), 10) << '\n';
  }
  out << '\n';
}

void PrintPairTables(std::ostream& out) {
  const std::vector<std::string> pairs = PairNames();
  for (const FrameSize& size : PairSizes()) {
    out << "== Whole frames at " << size.label() << " (median MP/s; memcpy moves the same bytes read + written)\n";
    out << Pad("pair", 12, false) << Pad("ours", 9) << Pad("libyuv", 9) << Pad("libswscale", 11) << Pad("memcpy", 9)
        << Pad("ours/libyuv", 13) << Pad("ours/libswscale", 17) << Pad("ours/memcpy", 13) << '\n';
    for (const std::string& pair : pairs) {
      const auto ours = Measured(PairBenchmark(pair, size, Contender::Ours));
      const auto yuv = Measured(PairBenchmark(pair, size, Contender::Libyuv));
      const auto sws = Measured(PairBenchmark(pair, size, Contender::Libswscale));
      const auto copy = Measured(PairBenchmark(pair, size, Contender::Memcpy));
      out << Pad(pair, 12, false) << Pad(Rate(ours), 9) << Pad(Rate(yuv), 9) << Pad(Rate(sws), 11) << Pad(Rate(copy), 9)
          << Pad(Ratio(ours, yuv), 13) << Pad(Ratio(ours, sws), 17) << Pad(Ratio(ours, copy), 13) << '\n';
    }
    out << '\n';
  }
  out << "== What each peer runs, and the largest byte difference from ours on a " << PairSizes().back().label()
      << " gradient frame\n";
  for (const std::string& pair : pairs) {
    std::string yuv = "-", sws = "-";
    for (const PairEntry& e : ResultBook::instance().pairs()) {
      if (PairName(e.input, e.output) != pair) continue;
      if (e.contender == Contender::Libyuv) yuv = e.how;
      if (e.contender == Contender::Libswscale) sws = e.how;
    }
    out << Pad(pair, 12, false) << "libyuv " << yuv << "; libswscale " << sws << "; "
        << ResultBook::instance().pairAgreement(pair) << '\n';
  }
  out << '\n';
}

void PrintPullTable(std::ostream& out) {
  const auto& pulls = ResultBook::instance().pulls();
  if (pulls.empty()) return;
  out << "== Through the plug-in: full pull with host frame allocation (median frames per second)\n";
  out << Pad("pair", 12, false) << Pad("size", 11) << Pad("frames", 8) << Pad("pull fps", 10)
      << Pad("converter fps", 15) << Pad("pull/converter", 16) << '\n';
  for (const PullEntry& e : pulls) {
    const std::string pair = PairName(e.input, e.output);
    const auto pull = Measured(e.benchmark);
    const auto conv = Measured(PairBenchmark(pair, e.size, Contender::Ours));
    const auto fps = [&](std::optional<double> mps) -> std::optional<double> {
      if (!mps) return std::nullopt;
      return *mps / e.size.megapixels();
    };
    out << Pad(pair, 12, false) << Pad(e.size.label(), 11) << Pad(e.pooledFrames ? "pooled" : "new", 8)
        << Pad(Rate(fps(pull)), 10) << Pad(Rate(fps(conv)), 15) << Pad(Ratio(pull, conv), 16) << '\n';
  }
  out << '\n';
}

void PrintSummary(std::ostream& out) {
  out << "# pellix-bench summary v1: pair/size ours libyuv libswscale memcpy (median MP/s, NA = not measured)\n";
  for (const FrameSize& size : PairSizes()) {
    for (const std::string& pair : PairNames()) {
      out << "summary " << pair << '/' << size.label();
      for (Contender c : {Contender::Ours, Contender::Libyuv, Contender::Libswscale, Contender::Memcpy}) {
        out << ' ' << Rate(Measured(PairBenchmark(pair, size, c)));
      }
      out << '\n';
    }
  }
}

}  // namespace pellix::bench
