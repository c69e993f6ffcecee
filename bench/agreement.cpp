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

std::string Describe(const char* peer, bool ran, const BenchFrame& ours, const BenchFrame& theirs) {
  return std::string(peer) + (ran ? " ±" + std::to_string(LargestDifference(ours, theirs)) : " failed");
}

}  // namespace

std::string MeasureAgreement(PixelFormat input, PixelFormat output, FrameSize size) {
  BenchFrame src(input, size.width, size.height);
  src.fillGradient();
  BenchFrame ours(output, size.width, size.height);
  BenchFrame yuv(output, size.width, size.height);
  BenchFrame sws(output, size.width, size.height);
  for (BenchFrame* f : {&ours, &yuv, &sws}) std::memset(f->data(), 0, f->bytes());

  const Tessel::ImageProperties props = src.imageProperties;
  if (!FrameConverterFor(input, output)(&src, &props, 0, &ours)) return "ours failed";
  const ImageRef s = ImageRefOf(src);

  const LibyuvConversion libyuv = LibyuvConversionFor(input, output);
  const bool yuvRan = !libyuv.name.empty() && libyuv.run(s, ImageRefOf(yuv));
  const SwscaleConversion swscale(input, output, size.width, size.height);
  const bool swsRan = swscale.valid() && swscale.run(s, ImageRefOf(sws));
  return Describe("libyuv", yuvRan, ours, yuv) + ", " + Describe("libswscale", swsRan, ours, sws);
}

}  // namespace pellix::bench
