// No output may be the input: not under its own name, nor through a hard
// link, a symbolic link, another spelling of its path, standard input
// redirected from it or standard output appended to it. The run stops
// before any work with a one-line usage error, and the input is left as it
// was, with no other file beside it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tool_runner.h"
#include "tools/pellix_convert/test_pattern.h"

namespace pellix::testing {
namespace {

enum class Link { None, Hard, Symbolic };
enum class Stream { None, InputFromIt, OutputAppendedToIt };

struct SameFileCase {
  const char* name;
  const char* input;  // the file written; "@" in an argument stands for the folder
  Link link;          // made as "link.yuv" to the input
  std::vector<std::string> args;
  Stream stream;
  const char* message;
};

const SameFileCase kCases[] = {
    {"SameName", "in.yuv", Link::None, {"in.yuv", "in.yuv"}, Stream::None, "output 'in.yuv' is the input 'in.yuv'"},
    {"HardLink", "in.yuv", Link::Hard, {"in.yuv", "link.yuv"}, Stream::None,
     "output 'link.yuv' is the input 'in.yuv'"},
    {"SymbolicLink", "in.yuv", Link::Symbolic, {"in.yuv", "link.yuv"}, Stream::None,
     "output 'link.yuv' is the input 'in.yuv'"},
    {"InputThroughASymbolicLink", "in.yuv", Link::Symbolic, {"link.yuv", "in.yuv"}, Stream::None,
     "output 'in.yuv' is the input 'link.yuv'"},
    {"RelativePath", "in.yuv", Link::None, {"in.yuv", "sub/../in.yuv"}, Stream::None,
     "output 'sub/../in.yuv' is the input 'in.yuv'"},
    {"AbsolutePath", "in.yuv", Link::None, {"./in.yuv", "@/in.yuv"}, Stream::None, "is the input './in.yuv'"},
    {"StandardInputFromIt", "in.yuv", Link::None, {"-", "in.yuv"}, Stream::InputFromIt,
     "output 'in.yuv' is the input standard input"},
    {"StandardOutputAppendedToIt", "in.yuv", Link::None, {"in.yuv", "-"}, Stream::OutputAppendedToIt,
     "standard output is the input 'in.yuv'"},
    {"ImageOverItsInput", "in.png", Link::None, {"in.png", "in.png"}, Stream::None,
     "output 'in.png' is the input 'in.png'"},
};

class SameFile : public ::testing::TestWithParam<SameFileCase> {};

TEST_P(SameFile, RefusedBeforeAnyWorkWithNothingTouched) {
  const SameFileCase& c = GetParam();
  const std::vector<uint8_t> frame = convert::MakePatternFrame(PixelFormat::I420, 64, 48, 0);
  const std::string source(frame.begin(), frame.end());
  ScratchFolder folder;
  WriteFile(folder / c.input, source);
  ASSERT_EQ(mkdir((folder / "sub").c_str(), 0755), 0);
  std::vector<std::string> expected = {c.input, "sub"};
  if (c.link == Link::Hard) {
    ASSERT_EQ(link((folder / c.input).c_str(), (folder / "link.yuv").c_str()), 0);
  }
  if (c.link == Link::Symbolic) {
    ASSERT_EQ(symlink(c.input, (folder / "link.yuv").c_str()), 0);
  }
  if (c.link != Link::None) expected.push_back("link.yuv");
  std::sort(expected.begin(), expected.end());

  std::vector<std::string> args;
  for (const std::string& arg : c.args) args.push_back(arg[0] == '@' ? folder.path() + arg.substr(1) : arg);
  args.insert(args.end(), {"-f", "I420", "-s", "64x48", "-y"});
  if (std::string(c.input) != "in.png") args.insert(args.end(), {"-t", "BGRA"});
  ToolInput input;
  if (c.stream == Stream::InputFromIt) input.file = folder / c.input;
  if (c.stream == Stream::OutputAppendedToIt) input.appendOutputTo = folder / c.input;

  const ToolRun run = RunTool(args, folder.path(), input);
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_TRUE(ReadFile(folder / c.input) == source) << "the input was changed";
  EXPECT_EQ(FolderEntries(folder.path()), expected) << "a file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Tool, SameFile, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SameFileCase>& info) { return info.param.name; });

// A different file of the same contents is no reason to refuse.
TEST(SameFileNot, ACopyIsAnotherFile) {
  const std::vector<uint8_t> frame = convert::MakePatternFrame(PixelFormat::I420, 64, 48, 0);
  ScratchFolder folder;
  WriteFile(folder / "in.i420", frame);
  WriteFile(folder / "copy.i420", frame);
  const ToolRun run = RunTool({"in.i420", "copy.i420", "-t", "YV12", "-s", "64x48", "-y"}, folder.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(folder / "in.i420").size(), frame.size());
}

}  // namespace
}  // namespace pellix::testing
