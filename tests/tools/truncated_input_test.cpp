// One rule for an input that ends inside a frame, from a file or a pipe:
// the whole frames before the cut are converted and delivered, and the run
// fails with status 1 naming the cut. A stream output has those frames; an
// output file keeps them only with --keep-partial, else it is not created.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tool_runner.h"
#include "tools/pellix_convert/test_pattern.h"

namespace pellix::testing {
namespace {

std::string Frame(int index) {
  const std::vector<uint8_t> frame = convert::MakePatternFrame(PixelFormat::I420, 64, 48, index);
  return std::string(frame.begin(), frame.end());
}

TEST(TruncatedInput, WholeFramesDeliveredFromFileAndPipeAlike) {
  const std::string whole = Frame(0) + Frame(1);
  const std::string y4mHeader = "YUV4MPEG2 W64 H48 F25:1\n";
  const struct {
    const char* name;
    std::string input;
    std::string expectedWhole;  // the same frames, not cut
    const char* message;
  } inputs[] = {
      {"Raw", whole + Frame(2).substr(0, 5), whole, "5 bytes left over after 2 frames"},
      {"Y4mFrame", y4mHeader + "FRAME\n" + Frame(0) + "FRAME\n" + Frame(1) + "FRAME\n" + Frame(2).substr(0, 100),
       y4mHeader + "FRAME\n" + Frame(0) + "FRAME\n" + Frame(1), "truncated YUV4MPEG2 frame 2"},
      {"Y4mMarker", y4mHeader + "FRAME\n" + Frame(0) + "FRAME\n" + Frame(1) + "FRA",
       y4mHeader + "FRAME\n" + Frame(0) + "FRAME\n" + Frame(1), "truncated YUV4MPEG2 frame marker before frame 2"},
  };
  for (const auto& in : inputs) {
    ScratchFolder folder;
    WriteFile(folder / "cut.yuv", in.input);
    WriteFile(folder / "whole.yuv", in.expectedWhole);
    const std::vector<std::string> common = {"-f", "I420", "-s", "64x48", "-t", "bgra", "-q"};
    auto args = [&](const std::string& input, const std::string& output, std::vector<std::string> extra) {
      std::vector<std::string> all = {input, output};
      // A YUV4MPEG2 input gives its own size and format.
      if (in.expectedWhole.rfind("YUV4MPEG2", 0) == 0) {
        all.insert(all.end(), {"-t", "bgra", "-q"});
      } else {
        all.insert(all.end(), common.begin(), common.end());
      }
      all.insert(all.end(), extra.begin(), extra.end());
      return all;
    };
    const ToolRun reference = RunTool(args("whole.yuv", "-", {}), folder.path());
    ASSERT_EQ(reference.status, 0) << reference.err;
    for (const bool piped : {false, true}) {
      SCOPED_TRACE(std::string(in.name) + (piped ? " through a pipe" : " from a file"));
      ToolInput stdinFrom;
      if (piped) stdinFrom.pipe = in.input;
      const std::string input = piped ? "-" : "cut.yuv";

      const ToolRun toStream = RunTool(args(input, "-", {}), folder.path(), stdinFrom);
      EXPECT_EQ(toStream.status, 1);
      EXPECT_NE(toStream.err.find(in.message), std::string::npos) << toStream.err;
      EXPECT_TRUE(toStream.out == reference.out) << toStream.out.size() << " bytes";

      const ToolRun dropped = RunTool(args(input, "out.bgra", {}), folder.path(), stdinFrom);
      EXPECT_EQ(dropped.status, 1);
      EXPECT_NE(dropped.err.find(in.message), std::string::npos) << dropped.err;
      EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"cut.yuv", "whole.yuv"}));

      const ToolRun kept = RunTool(args(input, "out.bgra", {"--keep-partial"}), folder.path(), stdinFrom);
      EXPECT_EQ(kept.status, 1);
      EXPECT_NE(kept.err.find(in.message), std::string::npos) << kept.err;
      EXPECT_TRUE(ReadFile(folder / "out.bgra") == reference.out);
      std::remove((folder / "out.bgra").c_str());
    }
  }
}

}  // namespace
}  // namespace pellix::testing
