// Whole frames of every ordered pair: our frame converter as the plug-in
// runs it, the same conversion in libyuv and libswscale, and memcpy of as
// many bytes as the conversion reads and writes.
#include <cstring>
#include <memory>
#include <string>

#include "bench/agreement.h"
#include "bench/pair_frames.h"
#include "bench/peers.h"
#include "bench/registration.h"
#include "colorconv/converters.h"

namespace pellix::bench {
namespace {

void RunOurs(benchmark::State& state, PixelFormat in, PixelFormat out, FrameSize size) {
  PairFrames f(in, out, size);
  const FrameConverter convert = FrameConverterFor(in, out);
  const Tessel::ImageProperties props = f.src.imageProperties;
  if (convert == nullptr) {
    state.SkipWithError("no converter for the pair");
    return;
  }
  for (auto _ : state) {
    if (!convert(&f.src, &props, 0, &f.dst)) {
      state.SkipWithError("converter refused the frame");
      break;
    }
    benchmark::ClobberMemory();
  }
  SetPixelRate(state, size);
}

void RunLibyuv(benchmark::State& state, PixelFormat in, PixelFormat out, FrameSize size) {
  PairFrames f(in, out, size);
  const LibyuvConversion conversion = LibyuvConversionFor(in, out);
  const ImageRef s = ImageRefOf(f.src);
  const ImageRef d = ImageRefOf(f.dst);
  for (auto _ : state) {
    if (!conversion.run(s, d)) {
      state.SkipWithError("libyuv refused the frame");
      break;
    }
    benchmark::ClobberMemory();
  }
  SetPixelRate(state, size);
}

void RunSwscale(benchmark::State& state, PixelFormat in, PixelFormat out, FrameSize size) {
  PairFrames f(in, out, size);
  const SwscaleConversion conversion(in, out, size.width, size.height);
  const ImageRef s = ImageRefOf(f.src);
  const ImageRef d = ImageRefOf(f.dst);
  for (auto _ : state) {
    if (!conversion.run(s, d)) {
      state.SkipWithError("libswscale refused the frame");
      break;
    }
    benchmark::ClobberMemory();
  }
  SetPixelRate(state, size);
}

void RunMemcpy(benchmark::State& state, size_t bytes, FrameSize size) {
  std::unique_ptr<uint8_t[]> src(new uint8_t[bytes]);
  std::unique_ptr<uint8_t[]> dst(new uint8_t[bytes]);
  std::memset(src.get(), 1, bytes);
  std::memset(dst.get(), 0, bytes);
  for (auto _ : state) {
    std::memcpy(dst.get(), src.get(), bytes);
    benchmark::ClobberMemory();
  }
  SetPixelRate(state, size);
}

void Register(const std::string& name, PairEntry entry, std::function<void(benchmark::State&)> run) {
  entry.benchmark = name;
  ResultBook::instance().add(std::move(entry));
  benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& st) { run(st); })->Unit(benchmark::kMicrosecond);
}

}  // namespace

void RegisterPairBenchmarks() {
  for (const FrameSize& size : PairSizes()) {
    for (const FormatPair& formats : kAllPairs) {
      const PixelFormat in = formats.from;
      const PixelFormat out = formats.to;
      const std::string pair = PairName(in, out);
      const std::string prefix = "pair/" + pair + "/" + size.label() + "/";
      Register(prefix + "ours", {"", in, out, size, Contender::Ours, "Convert" + pair},
               [=](benchmark::State& st) { RunOurs(st, in, out, size); });
      const LibyuvConversion libyuv = LibyuvConversionFor(in, out);
      if (!libyuv.name.empty()) {
        Register(prefix + "libyuv", {"", in, out, size, Contender::Libyuv, libyuv.name},
                 [=](benchmark::State& st) { RunLibyuv(st, in, out, size); });
      }
      const SwscaleConversion swscale(in, out, size.width, size.height);
      if (swscale.valid()) {
        Register(prefix + "libswscale", {"", in, out, size, Contender::Libswscale, swscale.name()},
                 [=](benchmark::State& st) { RunSwscale(st, in, out, size); });
      }
      const size_t bytes = MemcpyBytes(in, out, size);
      Register(prefix + "memcpy", {"", in, out, size, Contender::Memcpy, std::to_string(bytes) + " bytes"},
               [=](benchmark::State& st) { RunMemcpy(st, bytes, size); });
      if (size.width == PairSizes().back().width) {
        ResultBook::instance().setPairAgreement(pair, DescribeAgreement(MeasureAgreement(in, out, size)));
      }
    }
  }
}

}  // namespace pellix::bench
