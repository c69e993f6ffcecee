// One frame converted as horizontal bands (formats/row_bands.h), each band
// through its own component on its own thread, with the bytes one
// whole-frame pull gives. The plug-in starts no threads; a host that wants
// several cores on one frame uses this.
//
// Each band has its own ConversionSession over frames of the band's height.
// A band of a packed or BGRA side whose rows a frame can cover (a pitch of
// whole pixels, at least a row wide) converts in place: its frame is a view
// of exactly the band's rows of the caller's memory. Otherwise its thread
// copies the band's rows into a frame of its own before the pull, or out of
// it after. A planar side always copies: the plug-in places chroma planes
// from a frame's own height, so a band cannot be a view into the whole
// frame. A band's session is rebuilt when a frame's pitches call for other
// frames than the last one's.
//
// Typical use:
//   BandConversion bands(library, PixelFormat::I420, PixelFormat::BGRA, 3840, 2160, 4);
//   bands.convert({{{y, 3840}, {u, 1920}, {v, 1920}}}, {{{bgra, 4 * 3840}}});
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "formats/pixel_format.h"
#include "formats/row_bands.h"
#include "host/conversion_session.h"
#include "host/plugin_library.h"

namespace pellix {

// Planes of a whole image in the caller's memory: Y, U, V for planar
// formats whatever their storage order, one plane for packed formats. Pitch
// is in bytes from one row to the next; chroma rows of 4:2:0 are half as many.
struct SourcePlanes {
  struct Plane {
    const uint8_t* data = nullptr;
    uint64_t pitch = 0;
  } planes[3];
};
struct DestinationPlanes {
  struct Plane {
    uint8_t* data = nullptr;
    uint64_t pitch = 0;
  } planes[3];
};

struct BandOptions {
  // Called first on every worker thread (a host may mask signals there).
  std::function<void()> onWorkerStart;
};

class BandConversion {
 public:
  // Sets up one component per band for `bands` bands at most (below 1: one
  // per core); band 0 runs on the caller's thread. Throws HostError naming
  // the step the plug-in refused.
  BandConversion(std::shared_ptr<const PluginLibrary> library, PixelFormat from, PixelFormat to, int32_t width,
                 int32_t height, int32_t bands, BandOptions options = {});
  ~BandConversion();
  BandConversion(const BandConversion&) = delete;
  BandConversion& operator=(const BandConversion&) = delete;

  // Converts one frame. Throws HostError when a band's pull fails (the
  // first band's failure, if several fail).
  void convert(const SourcePlanes& source, const DestinationPlanes& destination);

  int32_t bandCount() const { return static_cast<int32_t>(bands_.size()); }
  const std::vector<RowBand>& rows() const { return rows_; }

 private:
  struct Band;
  void workerLoop(Band& band);

  std::vector<RowBand> rows_;
  std::vector<std::unique_ptr<Band>> bands_;
  BandOptions options_;
  std::mutex mutex_;
  std::condition_variable work_;
  std::condition_variable done_;
  uint64_t generation_ = 0;  // frames handed to the workers
  int32_t pending_ = 0;      // worker bands not yet finished with this frame
  bool stopping_ = false;
  const SourcePlanes* source_ = nullptr;
  const DestinationPlanes* destination_ = nullptr;
  std::vector<std::thread> workers_;
};

}  // namespace pellix
