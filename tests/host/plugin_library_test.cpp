// Loading a plug-in by path: what a host is told when the path holds no
// library, and that any UTF-8 path reaches the file (the wide-character
// calls on Windows).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "host/plugin_library.h"

namespace {

namespace fs = std::filesystem;

fs::path ScratchFolder(const std::string& name) {
  const fs::path folder = fs::temp_directory_path() / fs::u8path(name);
  fs::create_directories(folder);
  return folder;
}

// The loader's message names the path and says why, in the system's words.
std::string LoadFailure(const std::string& path) {
  try {
    pellix::PluginLibrary library(path);
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "";
}

TEST(PluginLibraryTest, PathsThatHoldNoLibraryAreRefusedWithThePathAndTheReason) {
  const fs::path folder = ScratchFolder("pellix-library-test");
  const fs::path text = folder / "not-a-library.dll";
  std::ofstream(text) << "plain text, no library\n";
  const struct {
    const char* what;
    std::string path;
  } cases[] = {
      {"missing file", (folder / "missing.dll").u8string()},
      {"text file", text.u8string()},
      {"folder", folder.u8string()},
  };
  for (const auto& c : cases) {
    const std::string message = LoadFailure(c.path);
    EXPECT_NE(message.find("cannot load plug-in " + c.path + ": "), std::string::npos) << c.what << ": " << message;
    // Something follows the colon: the system's own reason.
    EXPECT_GT(message.size(), std::string("cannot load plug-in " + c.path + ": ").size() + 3) << c.what;
  }
  fs::remove_all(folder);
}

TEST(PluginLibraryTest, LoadsFromAPathWithCharactersBeyondAscii) {
  const fs::path folder = ScratchFolder(u8"pellix-\u00e4\u00df-\u65e5\u672c");
  const fs::path source = fs::u8path(pellix::PluginLibrary::defaultPath());
  const fs::path copy = folder / fs::u8path(u8"pl\u00fcg-in\u00e9" + source.extension().u8string());
  fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
  {
    pellix::PluginLibrary library(copy.u8string());
    Tessel::Plugin* plugin = nullptr;
    library.getPlugin()(nullptr, &plugin);
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(plugin->releaseRef(), 0);
  }
  fs::remove_all(folder);
}

}  // namespace
