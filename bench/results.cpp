#include "bench/results.h"

namespace pellix::bench {

const char* ContenderName(Contender c) {
  switch (c) {
    case Contender::Ours:
      return "ours";
    case Contender::Libyuv:
      return "libyuv";
    case Contender::Libswscale:
      return "libswscale";
    case Contender::Memcpy:
      return "memcpy";
  }
  return "?";
}

std::string PairName(PixelFormat input, PixelFormat output) {
  return std::string(FormatName(input)) + "To" + FormatName(output);
}

ResultBook& ResultBook::instance() {
  static ResultBook book;
  return book;
}

void ResultBook::setPairAgreement(const std::string& pair, std::string text) { agreements_[pair] = std::move(text); }

std::string ResultBook::pairAgreement(const std::string& pair) const {
  auto it = agreements_.find(pair);
  return it == agreements_.end() ? std::string() : it->second;
}

void ResultBook::record(const std::string& benchmark, double megapixelsPerSecond, bool isMedian) {
  auto it = measurements_.find(benchmark);
  if (it != measurements_.end() && it->second.isMedian && !isMedian) return;
  measurements_[benchmark] = {megapixelsPerSecond, isMedian};
}

std::optional<double> ResultBook::measured(const std::string& benchmark) const {
  auto it = measurements_.find(benchmark);
  if (it == measurements_.end()) return std::nullopt;
  return it->second.value;
}

}  // namespace pellix::bench
