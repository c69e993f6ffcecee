// --threads: each frame converted as bands on several threads gives the
// bytes of one thread, for raw and YUV4MPEG2 output; a count out of range
// is refused by name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tool_runner.h"
#include "tools/pellix_convert/test_pattern.h"

namespace pellix::testing {
namespace {

TEST(Threads, SameBytesAsOneThread) {
  const struct {
    PixelFormat from;
    const char* to;
    int32_t width;
    int32_t height;
  } cases[] = {
      {PixelFormat::I420, "bgra", 64, 48},  {PixelFormat::BGRA, "i420", 62, 46}, {PixelFormat::YUY2, "yv12", 34, 38},
      {PixelFormat::UYVY, "bgra", 33, 37},  {PixelFormat::I420, "y4m", 66, 50},  {PixelFormat::BGRA, "uyvy", 64, 22},
  };
  for (const auto& c : cases) {
    const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
    SCOPED_TRACE(std::string(FormatName(c.from)) + " to " + c.to + " at " + size);
    ScratchFolder folder;
    std::string input;
    for (int i = 0; i < 3; ++i) {
      const std::vector<uint8_t> frame = convert::MakePatternFrame(c.from, c.width, c.height, i);
      input.append(frame.begin(), frame.end());
    }
    WriteFile(folder / "in.raw", input);
    const std::vector<std::string> args = {"in.raw", "-", "-f", FormatName(c.from), "-t", c.to, "-s", size};
    const ToolRun one = RunTool(args, folder.path());
    ASSERT_EQ(one.status, 0) << one.err;
    for (const char* threads : {"2", "3", "0", "16"}) {
      std::vector<std::string> banded = args;
      banded.insert(banded.end(), {"--threads", threads});
      const ToolRun run = RunTool(banded, folder.path());
      ASSERT_EQ(run.status, 0) << run.err;
      EXPECT_TRUE(run.out == one.out) << "--threads " << threads;
    }
  }
}

TEST(Threads, CountOutOfRangeRefused) {
  ScratchFolder folder;
  for (const char* count : {"-1", "257", "two"}) {
    const ToolRun run = RunTool({"-s", "64x48", "--threads", count, "-o", "x"}, folder.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("malformed thread count '" + std::string(count) + "'"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace pellix::testing
