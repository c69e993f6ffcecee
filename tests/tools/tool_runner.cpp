#include "tool_runner.h"

#include <fcntl.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace pellix::testing {
namespace {

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

int WaitStatus(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// Child side: never returns.
[[noreturn]] void Exec(std::vector<std::string> args, std::vector<std::string> environment, bool searchPath) {
  std::vector<char*> argv = Pointers(args);
  std::vector<char*> envp = Pointers(environment);
  if (searchPath) {
    environ = envp.data();
    execvp(argv[0], argv.data());
  } else {
    execve(argv[0], argv.data(), envp.data());
  }
  _exit(127);
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& args, const std::string& folder, const ToolInput& input,
                const std::vector<std::string>& environment) {
  std::signal(SIGPIPE, SIG_IGN);  // a child that stops reading must not kill the test
  std::vector<std::string> argv{PELLIX_CONVERT_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  // The given variables replace inherited ones of the same name.
  auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    bool replaced = false;
    for (const std::string& given : environment) replaced = replaced || nameOf(given) == nameOf(*e);
    if (!replaced) env.emplace_back(*e);
  }
  env.insert(env.end(), environment.begin(), environment.end());

  char outName[] = "/tmp/pellix-tool-out-XXXXXX";
  char errName[] = "/tmp/pellix-tool-err-XXXXXX";
  const int outFd = mkstemp(outName);
  const int errFd = mkstemp(errName);
  int pipeFds[2] = {-1, -1};
  if (input.pipe && pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
  int inFd = input.file ? open(input.file->c_str(), O_RDONLY) : open("/dev/null", O_RDONLY);
  if (input.pipe) inFd = pipeFds[0];
  const int appendFd = input.appendOutputTo ? open(input.appendOutputTo->c_str(), O_WRONLY | O_APPEND) : -1;

  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    dup2(inFd, STDIN_FILENO);
    dup2(appendFd >= 0 ? appendFd : outFd, STDOUT_FILENO);
    dup2(errFd, STDERR_FILENO);
    if (input.pipe) close(pipeFds[1]);
    Exec(argv, env, false);
  }
  close(inFd);
  if (appendFd >= 0) close(appendFd);
  if (input.pipe) {
    const int writeFd = pipeFds[1];
    const std::string& data = *input.pipe;
    std::thread feeder([writeFd, &data] {
      size_t done = 0;
      while (done < data.size()) {
        const ssize_t n = write(writeFd, data.data() + done, data.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
      }
      close(writeFd);
    });
    feeder.join();
  }
  ToolRun run;
  run.status = WaitStatus(pid);
  close(outFd);
  close(errFd);
  run.out = ReadFile(outName);
  run.err = ReadFile(errName);
  unlink(outName);
  unlink(errName);
  return run;
}

int RunToolInterrupted(const std::vector<std::string>& args, const std::string& folder, int signal,
                       std::chrono::microseconds delay) {
  std::vector<std::string> argv{PELLIX_CONVERT_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    Exec(argv, env, false);
  }
  std::this_thread::sleep_for(delay);
  kill(pid, signal);
  return WaitStatus(pid);
}

bool RunProgram(const std::vector<std::string>& args) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  const pid_t pid = fork();
  if (pid == 0) {
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    Exec(args, env, true);
  }
  return WaitStatus(pid) == 0;
}

bool ProgramAvailable(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (access((folder + "/" + name).c_str(), X_OK) == 0) return true;
  }
  return false;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

ScratchFolder::ScratchFolder() {
  char name[] = "/tmp/pellix-tool-test-XXXXXX";
  if (mkdtemp(name) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = name;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::optional<DecodedPng> DecodePng(const std::string& path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
  DecodedPng decoded;
  decoded.width = image.width;
  decoded.height = image.height;
  decoded.storedFormat = image.format;
  image.format = PNG_FORMAT_RGB;
  decoded.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, decoded.rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return decoded;
}

}  // namespace pellix::testing
