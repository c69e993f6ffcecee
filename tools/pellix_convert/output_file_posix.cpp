// Output files on POSIX: what is at the name decides how it is written (see
// output_file.h); temporary files are created and renamed inside interrupt
// shields so an interruption never leaves one behind.
#include <fcntl.h>
#include <stdio.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "tools/pellix_convert/interrupt.h"
#include "tools/pellix_convert/output_file.h"
#include "tools/pellix_convert/output_kind.h"
#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

// Links followed before giving up, as the kernel's own limit.
constexpr int kMostLinks = 40;


struct Target {
  std::string path;  // symbolic links followed
  OutputKind kind = OutputKind::Nothing;
  mode_t mode = 0;
};

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SystemError(const std::string& what, int error) { return what + ": " + std::strerror(error); }

// What is at `path`, following symbolic links one by one, so that a link to
// a name not yet taken leads to the file to create.
Target Examine(const std::string& path) {
  Target target{path};
  for (int links = 0; links <= kMostLinks; ++links) {
    struct stat info {};
    if (lstat(target.path.c_str(), &info) != 0) return target;  // nothing there (or unreachable: creating says why)
    if (!S_ISLNK(info.st_mode)) {
      target.mode = info.st_mode;
      target.kind = S_ISREG(info.st_mode)                                                ? OutputKind::Regular
                    : S_ISDIR(info.st_mode)                                              ? OutputKind::Folder
                    : S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) ? OutputKind::Stream
                                                                                         : OutputKind::Other;
      return target;
    }
    std::vector<char> link(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
    const ssize_t length = readlink(target.path.c_str(), link.data(), link.size());
    if (length < 0 || static_cast<size_t>(length) >= link.size()) {
      throw ToolError(SystemError("cannot follow output link '" + target.path + "'", length < 0 ? errno : ENAMETOOLONG));
    }
    const std::string to(link.data(), static_cast<size_t>(length));
    target.path = to.front() == '/' ? to : FolderOf(target.path) + "/" + to;
  }
  throw ToolError(SystemError("cannot follow output link '" + path + "'", ELOOP));
}

void WriteAll(int fd, const uint8_t* data, size_t size, const std::string& name) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      throw ToolError(SystemError("cannot write " + name, errno));
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
}

[[noreturn]] void RefuseTerminal(const std::string& what) {
  throw UsageError("refusing to write video frames to a terminal (" + what +
                   "): redirect standard output or give -o FILE");
}

// A socket is written by connecting to it; anything else of OutputKind::Stream
// is opened.
int OpenStream(const Target& target, const std::string& name) {
  if (S_ISSOCK(target.mode)) {
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (target.path.size() >= sizeof address.sun_path) {
      throw ToolError("cannot write output " + name + ": the socket's path is too long");
    }
    std::memcpy(address.sun_path, target.path.c_str(), target.path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw ToolError(SystemError("cannot write output " + name, errno));
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      const int error = errno;
      close(fd);
      throw ToolError(SystemError("cannot write output " + name + " (a socket)", error));
    }
    return fd;
  }
  // A FIFO waits here for its reader, as FFmpeg's output does.
  int fd;
  do {
    fd = open(target.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) throw ToolError(SystemError("cannot write output " + name, errno));
  if (isatty(fd)) {
    close(fd);
    RefuseTerminal(name);
  }
  return fd;
}

// Permissions an ordinary new file gets (0666 less the umask); mkstemp
// creates 0600.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void OutputFile::checkAvailable(const std::string& path, bool overwrite) {
  if (path.empty() || path.back() == '/') throw ToolError("output '" + path + "' is not a file name");
  checkNotInput(path);
  const Target target = Examine(path);
  if (WrittenInPlace(target.kind, path, overwrite)) return;
  const std::string folder = FolderOf(target.path);
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0) {
    throw ToolError(SystemError("cannot write output '" + path + "': folder '" + folder + "'", errno));
  }
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    throw ToolError(SystemError("cannot write output '" + path + "' in folder '" + folder + "'", errno));
  }
}

OutputFile::OutputFile(const std::string& path, bool overwrite)
    : name_("'" + path + "'"), overwrite_(overwrite) {
  checkAvailable(path, overwrite);
  const Target target = Examine(path);
  target_ = target.path;
  if (target.kind == OutputKind::Stream) {
    direct_ = true;
    handle_ = OpenStream(target, name_);
    return;
  }
  const std::string pattern = FolderOf(target_) + "/." + BaseName(target_) + ".XXXXXX.part";
  std::vector<char> temp(pattern.begin(), pattern.end());
  temp.push_back('\0');
  {
    // The file exists only registered for removal on interruption.
    InterruptShield shield;
    const int fd = mkostemps(temp.data(), 5, O_CLOEXEC);
    if (fd < 0) throw ToolError(SystemError("cannot create output " + name_, errno));
    registration_ = RegisterPendingFile(temp.data());
    handle_ = fd;
    tempPath_ = temp.data();
    if (registration_ < 0) {
      discard();
      throw ToolError("cannot create output " + name_ + ": its temporary name is too long");
    }
  }
  if (fchmod(static_cast<int>(handle_), NewFileMode()) != 0) {
    const int error = errno;
    discard();
    throw ToolError(SystemError("cannot create output " + name_, error));
  }
}

std::unique_ptr<OutputFile> OutputFile::standardOutput() {
  if (isatty(STDOUT_FILENO)) RefuseTerminal("standard output");
  // Appending to the file being read would feed the run its own output.
  checkNotInput(RegularFileOf(STDOUT_FILENO), "standard output");
  std::unique_ptr<OutputFile> out(new OutputFile());
  out->name_ = "standard output";
  out->direct_ = true;
  out->ownsHandle_ = false;
  out->handle_ = STDOUT_FILENO;
  return out;
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() noexcept {
  InterruptShield shield;
  if (handle_ >= 0 && ownsHandle_) close(static_cast<int>(handle_));
  handle_ = -1;
  if (!tempPath_.empty()) {
    unlink(tempPath_.c_str());
    tempPath_.clear();
  }
  ForgetPendingFile(registration_);
  registration_ = -1;
}

void OutputFile::write(const uint8_t* data, size_t size) {
  if (handle_ < 0) throw ToolError("output " + name_ + " is already closed");
  WriteAll(static_cast<int>(handle_), data, size, direct_ && !ownsHandle_ ? name_ : "output " + name_);
}

void OutputFile::commit() {
  if (handle_ < 0) throw ToolError("output " + name_ + " is already closed");
  const int fd = static_cast<int>(handle_);
  if (direct_) {
    handle_ = -1;
    if (ownsHandle_ && close(fd) != 0) throw ToolError(SystemError("cannot write output " + name_, errno));
    return;
  }
  if (fsync(fd) != 0 && errno != EINVAL) throw ToolError(SystemError("cannot write output " + name_, errno));
  handle_ = -1;
  if (close(fd) != 0) throw ToolError(SystemError("cannot write output " + name_, errno));
  // A link to the input may have appeared under the output's name meanwhile.
  checkNotInput(target_);
  // Renamed and forgotten together: an interruption in between would
  // otherwise remove a name that is no longer ours.
  InterruptShield shield;
  if (overwrite_) {
    if (rename(tempPath_.c_str(), target_.c_str()) != 0) {
      throw ToolError(SystemError("cannot write output " + name_, errno));
    }
  } else if (renameat2(AT_FDCWD, tempPath_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) != 0) {
    const int error = errno;
    if (error == EEXIST) throw ToolError("output " + name_ + " exists (give -y to overwrite it)");
    // File systems without RENAME_NOREPLACE: a hard link also refuses to replace.
    if (error != EINVAL && error != ENOSYS) throw ToolError(SystemError("cannot write output " + name_, error));
    if (link(tempPath_.c_str(), target_.c_str()) != 0) {
      if (errno == EEXIST) throw ToolError("output " + name_ + " exists (give -y to overwrite it)");
      throw ToolError(SystemError("cannot write output " + name_, errno));
    }
    unlink(tempPath_.c_str());
  }
  tempPath_.clear();
  ForgetPendingFile(registration_);
  registration_ = -1;
}

}  // namespace pellix::convert
