#include "bench/agreement.h"

#include <cstdlib>
#include <cstring>

#include "bench/bench_frames.h"
#include "bench/peers.h"
#include "colorconv/converters.h"

namespace pellix::bench {
namespace {

int LargestDifference(const BenchFrame& a, const BenchFrame& b) {
  int largest = 0;
  for (size_t i = 0; i < a.bytes(); ++i) {
    const int d = std::abs(static_cast<int>(a.data()[i]) - static_cast<int>(b.data()[i]));
    if (d > largest) largest = d;
  }
  return largest;
}

std::string Describe(const char* peer, std::optional<int> difference) {
  return std::string(peer) + (difference ? " ±" + std::to_string(*difference) : " failed");
}

}  // namespace

Agreement MeasureAgreement(PixelFormat input, PixelFormat output, FrameSize size) {
  Agreement result;
  BenchFrame src(input, size.width, size.height);
  src.fillGradient();
  BenchFrame ours(output, size.width, size.height);
  BenchFrame yuv(output, size.width, size.height);
  BenchFrame sws(output, size.width, size.height);
  for (BenchFrame* f : {&ours, &yuv, &sws}) std::memset(f->data(), 0, f->bytes());

  const Tessel::ImageProperties props = src.imageProperties;
  const FrameConverter convert = FrameConverterFor(input, output);
  result.oursConverted = convert != nullptr && convert(&src, &props, 0, &ours);
  if (!result.oursConverted) return result;
  const ImageRef s = ImageRefOf(src);

  const LibyuvConversion libyuv = LibyuvConversionFor(input, output);
  if (!libyuv.name.empty() && libyuv.run(s, ImageRefOf(yuv))) result.libyuv = LargestDifference(ours, yuv);
  const SwscaleConversion swscale(input, output, size.width, size.height);
  if (swscale.valid() && swscale.run(s, ImageRefOf(sws))) result.libswscale = LargestDifference(ours, sws);
  return result;
}

std::string DescribeAgreement(const Agreement& agreement) {
  if (!agreement.oursConverted) return "ours failed";
  return Describe("libyuv", agreement.libyuv) + ", " + Describe("libswscale", agreement.libswscale);
}

}  // namespace pellix::bench
