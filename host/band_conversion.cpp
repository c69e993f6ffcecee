#include "host/band_conversion.h"

#include <algorithm>
#include <limits>

#include "formats/format_names.h"
#include "formats/frame_rules.h"
#include "host/borrowed_frame.h"
#include "host/converted_frame.h"
#include "host/host_error.h"

namespace pellix {
namespace {

// Frames a band owns use a multiple of 16 pixels and so of 4, where the
// plug-in's source and destination placements of a planar frame's second
// chroma plane agree.
int32_t BandStride(int32_t width) { return static_cast<int32_t>((static_cast<int64_t>(width) + 15) / 16 * 16); }

// The image row where row `row` of plane `plane` of a band starting at
// image row `firstRow` lies: chroma planes of planar formats hold one row
// per two image rows (band starts are even).
uint64_t ImageRow(PixelFormat format, int plane, int32_t firstRow, uint64_t row) {
  const bool halved = IsPlanar(format) && plane > 0;
  return static_cast<uint64_t>(halved ? firstRow / 2 : firstRow) + row;
}

// Bytes from a view's first byte to the end of its last row's pixels: all
// the view may touch, so nothing after the band's rows is in it.
uint64_t ViewBytes(PixelFormat format, int32_t width, int32_t rows, uint64_t pitch) {
  return static_cast<uint64_t>(rows - 1) * pitch + static_cast<uint64_t>(RowBytesOfPixels(format, width));
}

// The stride in pixels of a frame over the caller's rows at `pitch`, or 0
// when no frame can be laid over them: a planar format, a pitch of no whole
// pixels or narrower than a row, or rows beyond what a frame describes.
int32_t ViewStride(PixelFormat format, int32_t width, int32_t rows, uint64_t pitch) {
  if (IsPlanar(format) || width < 1 || rows < 1) return 0;
  const uint64_t bytesPerPixel = static_cast<uint64_t>(RowBytesPerPixel(format));
  if (pitch % bytesPerPixel != 0 || pitch > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return 0;
  const uint64_t stride = pitch / bytesPerPixel;
  if (stride < static_cast<uint64_t>(MinimumStride(format, width))) return 0;
  if (!FitsInAFrame(ViewBytes(format, width, rows, pitch))) return 0;
  return static_cast<int32_t>(stride);
}

// How a band's frames are laid out: the strides of its source and
// destination frames and which of them are views into the caller's memory.
struct BandPlan {
  int32_t sourceStride = 0;
  int32_t destinationStride = 0;
  bool sourceView = false;
  bool destinationView = false;

  bool operator==(const BandPlan& other) const {
    return sourceStride == other.sourceStride && destinationStride == other.destinationStride &&
           sourceView == other.sourceView && destinationView == other.destinationView;
  }
};

BandPlan PlanFor(PixelFormat from, PixelFormat to, int32_t width, int32_t rows, uint64_t sourcePitch,
                 uint64_t destinationPitch) {
  BandPlan plan{BandStride(width), BandStride(width), false, false};
  const int32_t in = ViewStride(from, width, rows, sourcePitch);
  const int32_t out = ViewStride(to, width, rows, destinationPitch);
  if (!IsPlanar(from) && !IsPlanar(to)) {
    // Between packed formats the plug-in converts every macropixel of the
    // stride, padding included, and wants strides that match: rows are
    // viewed only without padding, at one stride on both sides.
    const int32_t tight = static_cast<int32_t>(MinimumStride(from, width));
    if (tight != MinimumStride(to, width)) return plan;
    plan.sourceView = in == tight;
    plan.destinationView = out == tight;
    if (plan.sourceView || plan.destinationView) plan.sourceStride = plan.destinationStride = tight;
    return plan;
  }
  if (in != 0) plan = {in, plan.destinationStride, true, false};
  if (out != 0) plan = {plan.sourceStride, out, plan.sourceView, true};
  return plan;
}

// Hands the plug-in the one destination frame armed for this pull, when
// it asks for that frame's size and bits; any other request is refused.
class ViewAllocator final : public Tessel::FrameAllocator {
 public:
  explicit ViewAllocator(int32_t bits) : expectedBits_(bits) {}
  void setBitsPerPixel(int32_t bits) override { bits_ = bits; }
  Tessel::Frame* allocateFrame(int32_t width, int32_t height, int32_t count) override {
    BorrowedFrame* frame = armed_;
    armed_ = nullptr;
    if (frame == nullptr || count != 1 || bits_ != expectedBits_ || width != frame->imageProperties.width ||
        height != frame->imageProperties.height) {
      return nullptr;
    }
    frame->addRef();
    return frame;
  }
  void arm(BorrowedFrame* frame) { armed_ = frame; }

 private:
  int32_t expectedBits_;
  int32_t bits_ = 0;
  BorrowedFrame* armed_ = nullptr;
};

// Gives up the creator's reference; a view the plug-in still holds is left
// alive (its memory is the caller's, never freed here) and reported.
bool GiveBack(std::unique_ptr<BorrowedFrame>& view) {
  if (!view) return true;
  view->release();
  if (view->references() == 0) {
    view.reset();
    return true;
  }
  (void)view.release();
  return false;
}

}  // namespace

struct BandConversion::Band {
  Band(std::shared_ptr<const PluginLibrary> library, PixelFormat from, PixelFormat to, int32_t width, RowBand rows)
      : library(std::move(library)), from(from), to(to), width(width), rows(rows), allocator(BitsPerPixel(to)) {}

  std::shared_ptr<const PluginLibrary> library;
  PixelFormat from;
  PixelFormat to;
  int32_t width;
  RowBand rows;
  // Outlive the session: its component may point to them until it is gone.
  std::shared_ptr<FrameLedger> ledger = std::make_shared<FrameLedger>();
  ViewAllocator allocator;
  std::unique_ptr<BorrowedFrame> sourceView;
  std::unique_ptr<BorrowedFrame> destinationView;
  BandPlan plan;
  std::unique_ptr<ConversionSession> session;
  const SourcePlanes* source = nullptr;  // set for the pull
  std::exception_ptr error;

  // A session whose frames follow `wanted`.
  void open(const BandPlan& wanted) {
    session.reset();
    SessionOptions options;
    options.inputFormat = FormatName(from);
    options.outputFormat = FormatName(to);
    options.width = width;
    options.height = rows.rows;
    options.sourceStride = wanted.sourceStride;
    options.outputFrames.stride = wanted.destinationStride;
    options.sourceBuffers.recycle = true;
    options.outputFrames.buffers.recycle = true;
    if (wanted.destinationView) options.frameAllocator = &allocator;
    if (wanted.sourceView) {
      options.producer = [this]() -> Tessel::Frame* {
        if (!sourceView) return nullptr;
        sourceView->addRef();
        return sourceView.get();
      };
    } else {
      options.fill = [this](HostFrame& frame, const FrameLayout& layout, uint64_t) {
        for (int i = 0; i < layout.planeCount; ++i) {
          const SourcePlanes::Plane& in = source->planes[i];
          CopyPlaneIntoFrame(in.data + ImageRow(from, i, rows.firstRow, 0) * in.pitch, in.pitch, frame.data(),
                             layout.planes[i]);
        }
      };
    }
    session = std::make_unique<ConversionSession>(library, std::move(options), ledger);
    plan = wanted;
  }

  // A frame over this band's rows of the caller's plane.
  std::unique_ptr<BorrowedFrame> viewOf(PixelFormat format, uint8_t* data, uint64_t pitch, int32_t stride,
                                        const char* what) {
    Tessel::ImageProperties image;
    image.width = width;
    image.height = rows.rows;
    image.stride = stride;
    const uint64_t bytes = ViewBytes(format, width, rows.rows, pitch);
    return std::make_unique<BorrowedFrame>(*ledger, data + static_cast<uint64_t>(rows.firstRow) * pitch,
                                           static_cast<uint32_t>(bytes), image, what);
  }

  void convert(const SourcePlanes& src, const DestinationPlanes& dst) {
    const BandPlan wanted = PlanFor(from, to, width, rows.rows, src.planes[0].pitch, dst.planes[0].pitch);
    if (!session || !(wanted == plan)) open(wanted);
    source = &src;
    // The plug-in only reads a source frame.
    if (plan.sourceView) {
      sourceView = viewOf(from, const_cast<uint8_t*>(src.planes[0].data), src.planes[0].pitch, plan.sourceStride,
                          "a band's source rows in the caller's memory");
    }
    if (plan.destinationView) {
      destinationView = viewOf(to, dst.planes[0].data, dst.planes[0].pitch, plan.destinationStride,
                               "a band's destination rows in the caller's memory");
    }
    allocator.arm(destinationView.get());
    std::exception_ptr failure;
    try {
      pullInto(dst);
    } catch (...) {
      failure = std::current_exception();
    }
    allocator.arm(nullptr);
    const bool sourceBack = GiveBack(sourceView);
    const bool destinationBack = GiveBack(destinationView);
    if (failure) std::rethrow_exception(failure);
    if (!sourceBack || !destinationBack) throw HostError("the plug-in kept a frame over the caller's memory");
  }

  void pullInto(const DestinationPlanes& dst) {
    FrameRef frame = session->pull();
    if (plan.destinationView) {
      if (frame.get() != destinationView.get()) throw HostError("a band was converted into another frame");
      return;
    }
    const FrameLayout layout = session->outputLayout(*frame);
    // The caller's planes hold exactly the band's rows: a frame of another
    // size would be copied past them.
    if (layout.width != width || layout.height != rows.rows) {
      throw HostError("a band was converted into a frame of another size");
    }
    const ConvertedFrameFault fault = ReadConvertedFrame(*frame, layout, [&](const uint8_t* pixels) {
      for (int i = 0; i < layout.planeCount; ++i) {
        const DestinationPlanes::Plane& out = dst.planes[i];
        CopyPlaneOutOfFrame(pixels, layout.planes[i], out.data + ImageRow(to, i, rows.firstRow, 0) * out.pitch,
                            out.pitch);
      }
    });
    if (fault == ConvertedFrameFault::TooSmall) throw HostError("a band's converted frame is larger than its buffer");
    if (fault == ConvertedFrameFault::NoPixels) throw HostError("a band's converted frame cannot be read");
  }
};

BandConversion::BandConversion(std::shared_ptr<const PluginLibrary> library, PixelFormat from, PixelFormat to,
                               int32_t width, int32_t height, int32_t bands, BandOptions options)
    : options_(std::move(options)) {
  if (bands < 1) bands = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
  rows_ = SplitIntoRowBands(height, bands);
  for (const RowBand& rows : rows_) {
    auto band = std::make_unique<Band>(library, from, to, width, rows);
    // Copies until the first frame's pitches are known: a refusal shows here.
    band->open(PlanFor(from, to, width, rows.rows, 0, 0));
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
      band.convert(*source, *destination);
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
    bands_[0]->convert(source, destination);
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
