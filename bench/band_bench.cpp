// Latency of one frame converted as horizontal bands on several threads
// (BandConversion), against one band, at 4K and 8K: planar sides copy each
// band's rows, packed and BGRA sides convert in place.
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_frames.h"
#include "bench/registration.h"
#include "formats/pixel_format.h"
#include "host/band_conversion.h"

namespace pellix::bench {
namespace {

struct BandPair {
  PixelFormat input;
  PixelFormat output;
};

constexpr BandPair kBandPairs[] = {
    {PixelFormat::I420, PixelFormat::BGRA},
    {PixelFormat::BGRA, PixelFormat::I420},
    {PixelFormat::YUY2, PixelFormat::BGRA},
    {PixelFormat::BGRA, PixelFormat::YUY2},
};
constexpr FrameSize kBandSizes[] = {{3840, 2160}, {7680, 4320}};
constexpr int32_t kBandCounts[] = {1, 2, 4};

// A whole image in one buffer, its planes one after another.
struct Image {
  std::vector<uint8_t> bytes;
  SourcePlanes source;
  DestinationPlanes destination;
};

Image MakeImage(PixelFormat format, FrameSize size) {
  Image image;
  const uint64_t w = static_cast<uint64_t>(size.width);
  const uint64_t h = static_cast<uint64_t>(size.height);
  std::vector<uint64_t> pitches, rows;
  if (IsPlanar(format)) {
    pitches = {w, w / 2, w / 2};
    rows = {h, h / 2, h / 2};
  } else {
    pitches = {w * static_cast<uint64_t>(RowBytesPerPixel(format))};
    rows = {h};
  }
  uint64_t total = 0;
  for (size_t p = 0; p < pitches.size(); ++p) total += pitches[p] * rows[p];
  image.bytes.assign(total, 0);
  FillPatternBytes(image.bytes.data(), image.bytes.size(), format, 1);
  uint64_t offset = 0;
  for (size_t p = 0; p < pitches.size(); ++p) {
    image.source.planes[p] = {image.bytes.data() + offset, pitches[p]};
    image.destination.planes[p] = {image.bytes.data() + offset, pitches[p]};
    offset += pitches[p] * rows[p];
  }
  return image;
}

std::string BandName(const BandPair& pair, FrameSize size, int32_t bands) {
  return "bands/" + PairName(pair.input, pair.output) + "/" + size.label() + "/" + std::to_string(bands);
}

void RunBands(benchmark::State& state, BandPair pair, FrameSize size, int32_t bands) {
  try {
    Image in = MakeImage(pair.input, size);
    Image out = MakeImage(pair.output, size);
    BandConversion conversion(std::make_shared<PluginLibrary>(PluginLibrary::defaultPath()), pair.input,
                              pair.output, size.width, size.height, bands);
    for (auto _ : state) {
      conversion.convert(in.source, out.destination);
      benchmark::DoNotOptimize(out.bytes.data());
    }
    SetPixelRate(state, size);
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
  }
}

}  // namespace

void RegisterBandBenchmarks() {
  for (const BandPair& pair : kBandPairs)
    for (FrameSize size : kBandSizes)
      for (int32_t bands : kBandCounts)
        benchmark::RegisterBenchmark(BandName(pair, size, bands).c_str(), [pair, size, bands](benchmark::State& st) {
          RunBands(st, pair, size, bands);
        })->Unit(benchmark::kMillisecond)->UseRealTime();
}

void PrintBandTable(std::ostream& out) {
  out << "\nBands on threads: milliseconds per frame (wall clock), and 1 band's time over N bands'\n";
  out << "| pair | size | 1 band | 2 bands | 4 bands | 2: speed-up | 4: speed-up |\n|---|---|---|---|---|---|---|\n";
  for (const BandPair& pair : kBandPairs) {
    for (FrameSize size : kBandSizes) {
      double ms[3] = {};
      bool all = true;
      for (size_t i = 0; i < 3; ++i) {
        const std::optional<double> rate = ResultBook::instance().measured(BandName(pair, size, kBandCounts[i]) + "/real_time");
        if (!rate || *rate <= 0) all = false;
        else ms[i] = size.megapixels() / *rate * 1e3;
      }
      if (!all) continue;
      char line[200];
      std::snprintf(line, sizeof line, "| %s | %s | %.2f | %.2f | %.2f | %.2fx | %.2fx |\n",
                    PairName(pair.input, pair.output).c_str(), size.label().c_str(), ms[0], ms[1], ms[2],
                    ms[0] / ms[1], ms[0] / ms[2]);
      out << line;
    }
  }
}

}  // namespace pellix::bench
