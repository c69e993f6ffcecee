// Frames per second of a full pull through the plug-in, loaded by the
// reference host: the sink's PullFrame, the component's pull of the source
// frame, the host allocating the destination frame, the conversion and the
// hand-back. Compared with the bare converter this shows what the frame path
// costs.
#include <memory>
#include <string>

#include "bench/bench_frames.h"
#include "bench/registration.h"
#include "host/conversion_session.h"
#include "host/frame_pool.h"

namespace pellix::bench {
namespace {

struct PullPair {
  PixelFormat input;
  PixelFormat output;
};

constexpr PullPair kPullPairs[] = {
    {PixelFormat::I420, PixelFormat::BGRA}, {PixelFormat::BGRA, PixelFormat::I420},
    {PixelFormat::I420, PixelFormat::YUY2}, {PixelFormat::YUY2, PixelFormat::I420},
    {PixelFormat::YUY2, PixelFormat::UYVY}, {PixelFormat::I420, PixelFormat::YV12},
};

// recycle: the allocator reuses released frames, as a host with a frame pool
// does; otherwise every pull gets a newly allocated (and page-faulted) frame.
void RunPull(benchmark::State& state, PullPair pair, FrameSize size, bool recycle) {
  try {
    auto ledger = std::make_shared<FrameLedger>();
    // Declared before the session so the source frame outlives the component.
    FramePool sourcePool(ledger);
    const FrameLayout layout = LayoutFor(pair.input, size.width, size.height, size.width, PlaneRule::Source);
    Tessel::ImageProperties image;
    image.width = size.width;
    image.height = size.height;
    image.stride = size.width;
    HostFrame* frame = sourcePool.acquire(static_cast<uint32_t>(layout.bytes), image);
    FrameRef source(frame);
    frame->dataSize() = static_cast<uint32_t>(layout.bytes);
    FillPatternBytes(frame->data(), layout.bytes, pair.input, 1);

    SessionOptions options;
    options.inputFormat = FormatName(pair.input);
    options.outputFormat = FormatName(pair.output);
    options.width = size.width;
    options.height = size.height;
    options.producer = MakeRepeatingProducer(std::move(source));
    options.outputFrames.buffers.recycle = recycle;
    ConversionSession session(std::make_shared<PluginLibrary>(PluginLibrary::defaultPath()), std::move(options),
                              ledger);
    for (auto _ : state) {
      FrameRef out = session.pull();
      benchmark::DoNotOptimize(out.get());
    }
    SetPixelRate(state, size);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
  }
}

}  // namespace

void RegisterPluginBenchmarks() {
  const FrameSize size = RoutineSizes().front();
  for (bool recycle : {true, false}) {
    for (const PullPair& pair : kPullPairs) {
      const std::string name = "pull/" + PairName(pair.input, pair.output) + "/" + size.label() +
                               (recycle ? "/pooled-frames" : "/new-frames");
      ResultBook::instance().add(PullEntry{name, pair.input, pair.output, size, recycle});
      benchmark::RegisterBenchmark(name.c_str(), [pair, size, recycle](benchmark::State& st) {
        RunPull(st, pair, size, recycle);
      })->Unit(benchmark::kMicrosecond);
    }
  }
}

}  // namespace pellix::bench
