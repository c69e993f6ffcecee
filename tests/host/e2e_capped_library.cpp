#include "tests/host/e2e_capped_library.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string>

#include "host/conversion_session.h"
#include "host/frame_ledger.h"
#include "tests/support/rig/platform/environment.h"

namespace pellix {
namespace e2e {
namespace {

namespace fs = std::filesystem;

// A copy of the plug-in under a name of its own, so that loading it gives a
// second instance with its own set-up. The file is removed after the library
// is unloaded (Windows cannot remove a loaded library's file).
class PluginCopy {
 public:
  // Test programs run side by side, so the name is random and the copy
  // never replaces a file that exists: overwriting another process's copy
  // while it is being loaded crashes that process.
  PluginCopy() {
    const fs::path source = fs::u8path(PluginLibrary::defaultPath());
    std::random_device entropy;
    std::error_code error;
    for (int attempt = 0; attempt < 16; ++attempt) {
      const uint64_t tag = (uint64_t{entropy()} << 32) ^ entropy();
      path_ = fs::temp_directory_path() / ("pellix-capped-" + std::to_string(tag) + source.extension().string());
      error.clear();
      if (fs::copy_file(source, path_, fs::copy_options::none, error)) return;
      if (error != std::errc::file_exists) break;
    }
    path_.clear();
    throw std::runtime_error("cannot copy the plug-in to a new file in " + fs::temp_directory_path().u8string() +
                             ": " + error.message());
  }
  ~PluginCopy() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove(path_, ignored);
  }
  PluginCopy(const PluginCopy&) = delete;
  PluginCopy& operator=(const PluginCopy&) = delete;
  std::string path() const { return path_.u8string(); }

 private:
  fs::path path_;
};

// Members end in reverse order: the library is unloaded before its file goes.
struct CappedLibrary {
  PluginCopy copy;
  std::shared_ptr<const PluginLibrary> library;
};

// Connects one component so that the copy's set-up runs now, while the
// variable holds the cap; the set-up reads it once and never again.
void RunSetUpUnderCap(const std::shared_ptr<const PluginLibrary>& library, const char* tier) {
  const char* previous = std::getenv("PELLIX_CPU");
  const std::string saved = previous ? previous : "";
  platform::SetEnvironmentValue("PELLIX_CPU", tier);
  {
    SessionOptions options;
    options.inputFormat = "I420";
    options.outputFormat = "YUY2";
    options.width = 16;
    options.height = 2;
    ConversionSession session(library, options, std::make_shared<FrameLedger>());
    session.pull();
  }
  if (previous)
    platform::SetEnvironmentValue("PELLIX_CPU", saved.c_str());
  else
    platform::RemoveEnvironmentValue("PELLIX_CPU");
}

}  // namespace

std::shared_ptr<const PluginLibrary> LibraryCappedAt(const char* tier) {
  static std::mutex mutex;
  static std::map<std::string, CappedLibrary> libraries;
  const std::lock_guard<std::mutex> lock(mutex);
  CappedLibrary& capped = libraries[tier];
  if (!capped.library) {
    capped.library = std::make_shared<PluginLibrary>(capped.copy.path());
    RunSetUpUnderCap(capped.library, tier);
  }
  return capped.library;
}

}  // namespace e2e
}  // namespace pellix
