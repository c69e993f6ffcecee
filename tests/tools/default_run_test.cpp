// The run with no input (the README's main command) and --info.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "colorconv/dispatch/routine_choice.h"
#include "tool_runner.h"

namespace pellix::testing {
namespace {

TEST(DefaultRun, WritesImagesAndTableForTwentyPairs) {
  ScratchFolder folder;
  const std::vector<std::string> args = {"-o", "results", "-s", "64x48", "--frames", "3"};
  ToolRun run = RunTool(args, folder.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(FolderEntries(folder / "results"),
            (std::vector<std::string>{"pattern-BGRA.png", "pattern-I420.png", "pattern-UYVY.png", "pattern-YUY2.png",
                                      "pattern-YV12.png", "round-trip.txt"}));
  for (const char* image : {"pattern-BGRA.png", "pattern-I420.png", "pattern-YUY2.png"}) {
    const auto png = DecodePng(folder / (std::string("results/") + image));
    ASSERT_TRUE(png) << image;
    EXPECT_EQ(png->width, 64u);
    EXPECT_EQ(png->height, 48u);
  }
  const std::string table = ReadFile(folder / "results/round-trip.txt");
  EXPECT_NE(run.out.find(table), std::string::npos) << "the table is printed as written";
  EXPECT_NE(run.out.find("Results are in results/"), std::string::npos);
  int rows = 0;
  std::istringstream lines(table);
  for (std::string line; std::getline(lines, line);) {
    if (line.find(" -> ") == std::string::npos || line.find("source") != std::string::npos) continue;
    ++rows;
    std::istringstream fields(line);
    std::string from, arrow, to;
    double fps = 0, mean = 0;
    int max = -1;
    fields >> from >> arrow >> to >> fps >> max >> mean;
    ASSERT_TRUE(fields) << line;
    EXPECT_GT(fps, 0) << line;
    // The pattern is exact in every format: only the arithmetic of the
    // conversions shows, at most 3 steps.
    EXPECT_LE(max, 3) << line;
    if ((from == "I420" && to == "YV12") || (from == "YUY2" && to == "UYVY")) {
      EXPECT_EQ(max, 0) << line;
    }
  }
  EXPECT_EQ(rows, 20);

  // A second run does not replace the results without -y.
  run = RunTool(args, folder.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("exists (give -y to overwrite it)"), std::string::npos) << run.err;
  std::vector<std::string> withY = args;
  withY.push_back("-y");
  run = RunTool(withY, folder.path());
  EXPECT_EQ(run.status, 0) << run.err;
}

TEST(DefaultRun, RefusesOptionsThatNeedAnInput) {
  ScratchFolder folder;
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"-t", "BGRA"}, {"--every-frame"}, {"-s", "63x48"}, {"-o", "-"}, {"-s", "3840x2160", "--frames", "100"},
           {"--start", "1"}, {"-r", "25"}, {"-pix_fmt", "bgra"}, {"--frames", "10001"}}) {
    const ToolRun run = RunTool(args, folder.path());
    EXPECT_EQ(run.status, 2) << args[0];
  }
  EXPECT_TRUE(FolderEntries(folder.path()).empty());
}

TEST(Info, ReportsPropertiesInterfacesAndRoutines) {
  ScratchFolder folder;
  const ToolRun run = RunTool({"--info"}, folder.path(), {}, {"PELLIX_CPU="});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* text : {"Name ", "Type ", "InputFormat   I420  (FourCC 0x30323449 'I420')", "OutputFormat  BGRA",
                           "tesselhub.interface.transform", "tesselhub.component.input             not answered (3)",
                           "processor: CPUID leaf 1 EDX 0x", "cap: PELLIX_CPU not set", "  plain   yes  "}) {
    EXPECT_NE(run.out.find(text), std::string::npos) << text << "\n" << run.out;
  }
  // Per routine, the variant the plug-in installs on this processor.
  const RoutineChoice choice = ChooseRoutines(ReadCpuFeatures(), TierCap{});
  for (size_t i = 0; i < kCatalogueSize; ++i) {
    const std::string installed = VariantName(kRoutineCatalogue[i], choice.reasons[i].tier);
    EXPECT_NE(run.out.find(std::string(kRoutineCatalogue[i].name) + " "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" " + installed + " "), std::string::npos) << installed << "\n" << run.out;
  }
}

// The cap rules wider tiers out, and a value naming no tier is reported.
TEST(Info, ShowsTheCapInPellixCpu) {
  ScratchFolder folder;
  const ToolRun capped = RunTool({"--info"}, folder.path(), {}, {"PELLIX_CPU=sse2"});
  ASSERT_EQ(capped.status, 0) << capped.err;
  EXPECT_NE(capped.out.find("cap: PELLIX_CPU=sse2: no tier above SSE2"), std::string::npos) << capped.out;
  EXPECT_NE(capped.out.find(" Planar420ToBGRA_MMX "), std::string::npos) << capped.out;
  EXPECT_EQ(capped.out.find("_AVX"), std::string::npos) << capped.out;
  const ToolRun unknown = RunTool({"--info"}, folder.path(), {}, {"PELLIX_CPU=avx"});
  ASSERT_EQ(unknown.status, 0) << unknown.err;
  EXPECT_NE(unknown.out.find("PELLIX_CPU=avx names no tier (plain, mmx, sse, sse2, avx2, avx512): no cap applied"),
            std::string::npos)
      << unknown.out;
}

// The help says what the conversion is, and the manual describes every
// option the help lists.
TEST(Help, PrintsUsageAndMatchesTheManual) {
  ScratchFolder folder;
  const ToolRun run = RunTool({"--help"}, folder.path());
  EXPECT_EQ(run.status, 0);
  for (const char* text : {"Usage: pellix-convert", "BT.601", "video range", "not interpolated", "--version"}) {
    EXPECT_NE(run.out.find(text), std::string::npos) << text;
  }
  const std::string manual = ReadFile(PELLIX_CONVERT_MANUAL);
  ASSERT_FALSE(manual.empty());
  for (const char* text : {"BT.601", "video range", "not interpolated"}) {
    EXPECT_NE(manual.find(text), std::string::npos) << text;
  }
  // Every option the help names: words "--name" and FFmpeg's one-dash spellings.
  std::string words = run.out;
  std::replace_if(words.begin(), words.end(), [](char c) { return c == ',' || c == '(' || c == ')'; }, ' ');
  std::istringstream help(words);
  int options = 0;
  for (std::string word; help >> word;) {
    const bool option = (word.rfind("--", 0) == 0 && word.size() > 2 && std::isalpha(static_cast<unsigned char>(word[2]))) ||
                        word == "-pix_fmt" || word == "-frames:v" || word == "-vframes";
    if (!option) continue;
    ++options;
    EXPECT_NE(manual.find("`" + word), std::string::npos) << word << " is not in the manual";
  }
  EXPECT_GE(options, 18);
}

}  // namespace
}  // namespace pellix::testing
