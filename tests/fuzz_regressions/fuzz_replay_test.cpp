// Every seed and every saved fault-finding input, replayed through the same
// harness code the fuzz targets run: a fault found once stays found. A file
// under inputs/<target>/ is named after the fault it found.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/frame_path_harness.h"
#include "fuzz/surface_harness.h"

namespace {

namespace fs = std::filesystem;

struct SavedInput {
  std::string target;  // "frame_path" or "surface"
  fs::path path;
  std::string origin;  // "seed" or "regression"
};

std::vector<SavedInput> SavedInputs() {
  std::vector<SavedInput> inputs;
  const std::pair<const char*, const char*> roots[] = {{PELLIX_FUZZ_CORPUS_DIR, "seed"},
                                                       {PELLIX_FUZZ_REGRESSION_DIR, "regression"}};
  for (const auto& [root, origin] : roots) {
    for (const char* target : {"frame_path", "surface"}) {
      const fs::path dir = fs::path(root) / target;
      if (!fs::is_directory(dir)) continue;
      std::vector<fs::path> files;
      for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
      std::sort(files.begin(), files.end());
      for (const fs::path& file : files) inputs.push_back({target, file, origin});
    }
  }
  return inputs;
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string TestName(const testing::TestParamInfo<SavedInput>& info) {
  std::string name = info.param.origin + "_" + info.param.target + "_" + info.param.path.filename().string();
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

class FuzzReplay : public testing::TestWithParam<SavedInput> {};

TEST_P(FuzzReplay, KeepsTheProtocol) {
  const SavedInput& input = GetParam();
  const std::vector<uint8_t> bytes = ReadAll(input.path);
  ASSERT_FALSE(bytes.empty()) << input.path;
  const std::string problems = input.target == "frame_path"
                                   ? pellix::fuzz::RunFramePathInput(bytes.data(), bytes.size())
                                   : pellix::fuzz::RunSurfaceInput(bytes.data(), bytes.size());
  EXPECT_EQ(problems, "") << input.path;
}

INSTANTIATE_TEST_SUITE_P(Saved, FuzzReplay, testing::ValuesIn(SavedInputs()), TestName);

TEST(FuzzCorpus, HasSeedsForBothTargets) {
  size_t framePath = 0;
  size_t surface = 0;
  for (const SavedInput& input : SavedInputs()) {
    if (input.origin != "seed") continue;
    (input.target == "frame_path" ? framePath : surface) += 1;
  }
  EXPECT_GE(framePath, 5u);
  EXPECT_GE(surface, 5u);
}

}  // namespace
