// What pellix-convert does with what is already at the output's name: a
// device, FIFO or socket is written directly and stays what it was; a
// symbolic link is followed and its target replaced whole; a folder or any
// other kind of file is never replaced.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "tool_runner.h"
#include "tools/pellix_convert/test_pattern.h"

namespace pellix::testing {
namespace {

std::string Input() {
  std::string bytes;
  for (int i = 0; i < 3; ++i) {
    const std::vector<uint8_t> frame = convert::MakePatternFrame(PixelFormat::I420, 64, 48, i);
    bytes.append(frame.begin(), frame.end());
  }
  return bytes;
}

std::string ReadAll(int fd) {
  std::string bytes;
  char block[65536];
  for (ssize_t n; (n = read(fd, block, sizeof block)) > 0;) bytes.append(block, static_cast<size_t>(n));
  return bytes;
}

mode_t KindAt(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

std::vector<std::string> Convert(const std::string& output, bool overwrite) {
  std::vector<std::string> args = {"in.i420", output, "-s", "64x48", "-t", "bgra", "-q"};
  if (overwrite) args.push_back("-y");
  return args;
}

class OutputKinds : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(folder_ / "in.i420", Input());
    const ToolRun run = RunTool(Convert("expected.bgra", false), folder_.path());
    ASSERT_EQ(run.status, 0) << run.err;
    expected_ = ReadFile(folder_ / "expected.bgra");
    ASSERT_FALSE(expected_.empty());
  }
  // Names in the folder besides the input and the expected output.
  std::vector<std::string> Others() const {
    std::vector<std::string> names;
    for (const std::string& name : FolderEntries(folder_.path())) {
      if (name != "in.i420" && name != "expected.bgra") names.push_back(name);
    }
    return names;
  }
  ScratchFolder folder_;
  std::string expected_;
};

// A FIFO with a reader gets the frames and stays a FIFO, with or without -y.
TEST_F(OutputKinds, FifoIsWrittenThroughToItsReader) {
  for (const bool overwrite : {false, true}) {
    SCOPED_TRACE(overwrite ? "-y" : "no -y");
    const std::string fifo = folder_ / "out.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] {
      const int fd = open(fifo.c_str(), O_RDONLY);
      received = ReadAll(fd);
      close(fd);
    });
    const ToolRun run = RunTool(Convert("out.fifo", overwrite), folder_.path());
    reader.join();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(received == expected_) << received.size() << " bytes received";
    EXPECT_EQ(KindAt(fifo), static_cast<mode_t>(S_IFIFO));
    EXPECT_EQ(Others(), std::vector<std::string>{"out.fifo"});
    unlink(fifo.c_str());
  }
}

// A listening socket is connected to and gets the frames.
TEST_F(OutputKinds, SocketIsWrittenThroughToItsListener) {
  const std::string path = folder_ / "out.sock";
  sockaddr_un address {};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  std::string received;
  std::thread reader([&] {
    const int fd = accept(listener, nullptr, nullptr);
    received = ReadAll(fd);
    close(fd);
  });
  const ToolRun run = RunTool(Convert("out.sock", true), folder_.path());
  reader.join();
  close(listener);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(received == expected_) << received.size() << " bytes received";
  EXPECT_EQ(KindAt(path), static_cast<mode_t>(S_IFSOCK));
  EXPECT_EQ(Others(), std::vector<std::string>{"out.sock"});
}

// A character device is opened, not replaced: /dev/null stays a device.
TEST_F(OutputKinds, DeviceIsWrittenNotReplaced) {
  for (const std::string& device : {std::string("/dev/null"), folder_ / "null-link"}) {
    SCOPED_TRACE(device);
    if (device != "/dev/null") {
      ASSERT_EQ(symlink("/dev/null", device.c_str()), 0);
    }
    for (const bool overwrite : {false, true}) {
      const ToolRun run = RunTool(Convert(device, overwrite), folder_.path());
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(KindAt("/dev/null"), static_cast<mode_t>(S_IFCHR));
    }
  }
  EXPECT_EQ(KindAt(folder_ / "null-link"), static_cast<mode_t>(S_IFLNK));
  EXPECT_EQ(Others(), std::vector<std::string>{"null-link"});
}

// A symbolic link stays a link; its target (existing or not yet) is written
// whole, beside the target, not beside the link.
TEST_F(OutputKinds, SymbolicLinkIsFollowedAndItsTargetReplaced) {
  ASSERT_EQ(mkdir((folder_ / "sub").c_str(), 0755), 0);
  const struct {
    const char* name;
    const char* link;
    const char* target;  // as stored in the link
    const char* targetInFolder;
    bool targetExists;
  } cases[] = {
      {"ToExistingFile", "a.bgra", "sub/old.bgra", "sub/old.bgra", true},
      {"ToNewFile", "b.bgra", "sub/new.bgra", "sub/new.bgra", false},
      {"ThroughTwoLinks", "c.bgra", "a.bgra", "sub/old.bgra", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.targetExists) WriteFile(folder_ / c.targetInFolder, std::string("old"));
    ASSERT_EQ(symlink(c.target, (folder_ / c.link).c_str()), 0);
    const ToolRun run = RunTool(Convert(c.link, true), folder_.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(KindAt(folder_ / c.link), static_cast<mode_t>(S_IFLNK));
    EXPECT_TRUE(ReadFile(folder_ / c.targetInFolder) == expected_);
    unlink((folder_ / c.targetInFolder).c_str());
  }
  // Without -y an existing target is not replaced.
  WriteFile(folder_ / "sub/old.bgra", std::string("old"));
  const ToolRun refused = RunTool(Convert("a.bgra", false), folder_.path());
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("exists (give -y"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadFile(folder_ / "sub/old.bgra"), "old");
  EXPECT_EQ(FolderEntries(folder_ / "sub"), std::vector<std::string>{"old.bgra"});
}

// What cannot be written as a file or a stream is refused, with -y too, and
// left as it was.
TEST_F(OutputKinds, FolderAndLinkLoopAreNeverReplaced) {
  ASSERT_EQ(mkdir((folder_ / "dir").c_str(), 0755), 0);
  ASSERT_EQ(symlink("dir", (folder_ / "dir-link").c_str()), 0);
  ASSERT_EQ(symlink("loop-b", (folder_ / "loop-a").c_str()), 0);
  ASSERT_EQ(symlink("loop-a", (folder_ / "loop-b").c_str()), 0);
  const struct {
    const char* output;
    const char* message;
  } cases[] = {
      {"dir", "output 'dir' is a folder"},
      {"dir-link", "output 'dir-link' is a folder"},
      {"loop-a", "cannot follow output link 'loop-a'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    const ToolRun run = RunTool(Convert(c.output, true), folder_.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  EXPECT_EQ(KindAt(folder_ / "dir"), static_cast<mode_t>(S_IFDIR));
  EXPECT_TRUE(FolderEntries(folder_ / "dir").empty());
  EXPECT_EQ(Others(), (std::vector<std::string>{"dir", "dir-link", "loop-a", "loop-b"}));
}

}  // namespace
}  // namespace pellix::testing
