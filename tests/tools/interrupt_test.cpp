// An interrupted run leaves nothing behind, whenever the signal falls: while
// the temporary output is created, written, flushed or renamed. Each run
// either finishes (the output complete) or dies by the signal (the previous
// output untouched, or the new one complete if the rename came first), and
// no hidden temporary file is ever left.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <string>
#include <vector>

#include "tool_runner.h"
#include "tools/pellix_convert/test_pattern.h"

namespace pellix::testing {
namespace {

constexpr int kRunsPerSignal = 30;

TEST(Interrupt, NoTemporaryFileLeftWheneverTheSignalFalls) {
  ScratchFolder folder;
  std::string input;
  for (int i = 0; i < 24; ++i) {
    const std::vector<uint8_t> frame = convert::MakePatternFrame(PixelFormat::I420, 320, 240, i);
    input.append(frame.begin(), frame.end());
  }
  WriteFile(folder / "in.i420", input);
  const std::vector<std::string> args = {"in.i420", "out.bgra", "-s", "320x240", "-t", "bgra", "-q", "-y"};
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunTool(args, folder.path()).status, 0);
  const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  const std::string complete = ReadFile(folder / "out.bgra");

  std::mt19937 random(20261209);
  // Delays from before the tool starts to a little after a whole run.
  std::uniform_int_distribution<int64_t> delay(0, whole.count() * 6 / 5);
  int interrupted = 0;
  for (const int signal : {SIGINT, SIGTERM, SIGQUIT, SIGHUP}) {
    for (int run = 0; run < kRunsPerSignal; ++run) {
      WriteFile(folder / "out.bgra", std::string("previous"));
      const std::chrono::microseconds after(delay(random));
      SCOPED_TRACE("signal " + std::to_string(signal) + " after " + std::to_string(after.count()) + " us");
      const int status = RunToolInterrupted(args, folder.path(), signal, after);
      ASSERT_TRUE(status == 0 || status == 128 + signal) << "status " << status;
      ASSERT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"in.i420", "out.bgra"}));
      const std::string output = ReadFile(folder / "out.bgra");
      if (status == 0) {
        ASSERT_TRUE(output == complete);
      } else {
        ++interrupted;
        ASSERT_TRUE(output == "previous" || output == complete) << output.size() << " bytes";
      }
    }
  }
  // The delays must have caught runs in progress, or nothing was tested.
  EXPECT_GT(interrupted, kRunsPerSignal) << "of " << 4 * kRunsPerSignal << " runs, over " << whole.count()
                                         << " us each";
}

}  // namespace
}  // namespace pellix::testing
