#include "host/band_conversion.h"

#include <algorithm>
#include <cstring>

#include "formats/format_names.h"
#include "host/host_error.h"

namespace pellix {
namespace {

// Frames of a band use one stride on both sides (the 4:2:2 byte swap needs
// equal strides), a multiple of 16 pixels and so of 4, where the plug-in's
// source and destination placements of the second chroma plane agree.
int32_t BandStride(int32_t width) { return static_cast<int32_t>((static_cast<int64_t>(width) + 15) / 16 * 16); }

// The image row where row `row` of plane `plane` of a band starting at
// image row `firstRow` lies: chroma planes of planar formats hold one row
// per two image rows (band starts are even).
uint64_t ImageRow(PixelFormat format, int plane, int32_t firstRow, uint64_t row) {
  const bool halved = IsPlanar(format) && plane > 0;
  return static_cast<uint64_t>(halved ? firstRow / 2 : firstRow) + row;
}

}  // namespace

struct BandConversion::Band {
  RowBand rows;
  std::unique_ptr<ConversionSession> session;
  const SourcePlanes* source = nullptr;  // set for the pull
  std::exception_ptr error;

  void convert(PixelFormat to, const SourcePlanes& src, const DestinationPlanes& dst) {
    source = &src;
    FrameRef frame = session->pull();
    const FrameLayout layout = session->outputLayout(*frame);
    FrameLock lock(*frame);
    if (lock.data() == nullptr) throw HostError("a band's converted frame cannot be read");
    for (int i = 0; i < layout.planeCount; ++i) {
      const PlaneLayout& plane = layout.planes[i];
      const DestinationPlanes::Plane& out = dst.planes[i];
      for (uint64_t row = 0; row < plane.rows; ++row) {
        std::memcpy(out.data + ImageRow(to, i, rows.firstRow, row) * out.pitch, lock.data() + plane.rowOffset(row),
                    plane.rowBytes);
      }
    }
  }
};

BandConversion::BandConversion(std::shared_ptr<const PluginLibrary> library, PixelFormat from, PixelFormat to,
                               int32_t width, int32_t height, int32_t bands, BandOptions options)
    : from_(from), to_(to), options_(std::move(options)) {
  if (bands < 1) bands = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
  rows_ = SplitIntoRowBands(height, bands);
  for (const RowBand& rows : rows_) {
    auto band = std::make_unique<Band>();
    band->rows = rows;
    SessionOptions session;
    session.inputFormat = FormatName(from);
    session.outputFormat = FormatName(to);
    session.width = width;
    session.height = rows.rows;
    session.sourceStride = BandStride(width);
    session.outputFrames.stride = session.sourceStride;
    session.sourceBuffers.recycle = true;
    session.outputFrames.buffers.recycle = true;
    Band* self = band.get();
    session.fill = [self, from](HostFrame& frame, const FrameLayout& layout, uint64_t) {
      for (int i = 0; i < layout.planeCount; ++i) {
        const PlaneLayout& plane = layout.planes[i];
        const SourcePlanes::Plane& in = self->source->planes[i];
        for (uint64_t row = 0; row < plane.rows; ++row) {
          std::memcpy(frame.data() + plane.rowOffset(row),
                      in.data + ImageRow(from, i, self->rows.firstRow, row) * in.pitch, plane.rowBytes);
        }
      }
    };
    band->session = std::make_unique<ConversionSession>(library, std::move(session));
    bands_.push_back(std::move(band));
  }
  for (size_t i = 1; i < bands_.size(); ++i) {
    workers_.emplace_back([this, band = bands_[i].get()] { workerLoop(*band); });
  }
}

BandConversion::~BandConversion() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void BandConversion::workerLoop(Band& band) {
  if (options_.onWorkerStart) options_.onWorkerStart();
  uint64_t seen = 0;
  for (;;) {
    const SourcePlanes* source;
    const DestinationPlanes* destination;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      work_.wait(lock, [&] { return stopping_ || generation_ != seen; });
      if (stopping_) return;
      seen = generation_;
      source = source_;
      destination = destination_;
    }
    try {
      band.convert(to_, *source, *destination);
    } catch (...) {
      band.error = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (--pending_ == 0) done_.notify_one();
  }
}

void BandConversion::convert(const SourcePlanes& source, const DestinationPlanes& destination) {
  for (auto& band : bands_) band->error = nullptr;
  if (bands_.size() > 1) {
    std::lock_guard<std::mutex> lock(mutex_);
    source_ = &source;
    destination_ = &destination;
    pending_ = static_cast<int32_t>(bands_.size() - 1);
    ++generation_;
    work_.notify_all();
  }
  try {
    bands_[0]->convert(to_, source, destination);
  } catch (...) {
    bands_[0]->error = std::current_exception();
  }
  if (bands_.size() > 1) {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return pending_ == 0; });
  }
  for (auto& band : bands_) {
    if (band->error) std::rethrow_exception(band->error);
  }
}

}  // namespace pellix
