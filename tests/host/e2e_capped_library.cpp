#include "tests/host/e2e_capped_library.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>

#include "host/conversion_session.h"
#include "host/frame_ledger.h"

namespace pellix {
namespace e2e {
namespace {

std::string CopyOfPlugin() {
  char path[] = "/tmp/pellix-capped-plugin-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) throw std::runtime_error("cannot create a copy of the plug-in");
  close(fd);
  std::ifstream in(PluginLibrary::defaultPath(), std::ios::binary);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
  if (!in || !out) throw std::runtime_error("cannot copy the plug-in to " + std::string(path));
  return path;
}

// Connects one component so that the copy's set-up runs now, while the
// variable holds the cap; the set-up reads it once and never again.
void RunSetUpUnderCap(const std::shared_ptr<const PluginLibrary>& library, const char* tier) {
  const char* previous = std::getenv("PELLIX_CPU");
  const std::string saved = previous ? previous : "";
  setenv("PELLIX_CPU", tier, 1);
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
    setenv("PELLIX_CPU", saved.c_str(), 1);
  else
    unsetenv("PELLIX_CPU");
}

}  // namespace

std::shared_ptr<const PluginLibrary> LibraryCappedAt(const char* tier) {
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<const PluginLibrary>> libraries;
  const std::lock_guard<std::mutex> lock(mutex);
  auto& library = libraries[tier];
  if (!library) {
    const std::string path = CopyOfPlugin();
    library = std::make_shared<PluginLibrary>(path);
    unlink(path.c_str());  // the loaded mapping outlives the name
    RunSetUpUnderCap(library, tier);
  }
  return library;
}

}  // namespace e2e
}  // namespace pellix
