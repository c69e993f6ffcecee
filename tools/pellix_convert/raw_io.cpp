#include "tools/pellix_convert/raw_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

constexpr size_t kReadBlock = 1 << 20;

class StandardOutputSink final : public OutputSink {
 public:
  StandardOutputSink() {
    if (isatty(STDOUT_FILENO)) {
      throw UsageError("refusing to write video frames to a terminal: redirect standard output or give -o FILE");
    }
    // Appending to the file being read would feed the run its own output.
    AtomicOutputFile::checkNotInput(RegularFileOf(STDOUT_FILENO), "standard output");
  }
  void write(const uint8_t* data, size_t size) override {
    while (size > 0) {
      const ssize_t written = ::write(STDOUT_FILENO, data, size);
      if (written < 0) {
        if (errno == EINTR) continue;
        throw ToolError(std::string("cannot write standard output: ") + std::strerror(errno));
      }
      data += written;
      size -= static_cast<size_t>(written);
    }
  }
  void commit() override {}
  const std::string& name() const override { return name_; }

 private:
  std::string name_ = "standard output";
};

class FileOutputSink final : public OutputSink {
 public:
  FileOutputSink(const std::string& path, bool overwrite) : file_(path, overwrite), name_("'" + path + "'") {}
  void write(const uint8_t* data, size_t size) override { file_.write(data, size); }
  void commit() override { file_.commit(); }
  const std::string& name() const override { return name_; }

 private:
  AtomicOutputFile file_;
  std::string name_;
};

}  // namespace

InputStream::InputStream(const std::string& path) : buffer_(kReadBlock) {
  if (path == "-") {
    name_ = "standard input";
    fd_ = STDIN_FILENO;
  } else {
    name_ = "'" + path + "'";
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw ToolError("cannot open input " + name_ + ": " + std::strerror(errno));
    ownsFd_ = true;
  }
  struct stat info {};
  if (fstat(fd_, &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      if (ownsFd_) close(fd_);
      throw ToolError("input " + name_ + " is a folder");
    }
    if (S_ISREG(info.st_mode)) {
      // Standard input may be a file read partly by someone else already.
      const off_t position = lseek(fd_, 0, SEEK_CUR);
      fileSize_ = static_cast<uint64_t>(info.st_size) - static_cast<uint64_t>(std::max<off_t>(position, 0));
      file_ = FileIdentity{info.st_dev, info.st_ino};
    }
  }
}

InputStream::~InputStream() {
  if (ownsFd_) close(fd_);
}

bool InputStream::fill(size_t want) {
  want = std::min(want, buffer_.size());
  if (begin_ != 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  while (end_ < want && !atEnd_) {
    const ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw ToolError("cannot read input " + name_ + ": " + std::strerror(errno));
    }
    if (got == 0) atEnd_ = true;
    end_ += static_cast<size_t>(got);
  }
  return end_ > begin_;
}

size_t InputStream::read(uint8_t* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    if (begin_ == end_ && !fill(1)) break;
    const size_t take = std::min(size - done, end_ - begin_);
    std::memcpy(data + done, buffer_.data() + begin_, take);
    begin_ += take;
    done += take;
  }
  consumed_ += done;
  return done;
}

int InputStream::readByte() {
  if (begin_ == end_ && !fill(1)) return -1;
  ++consumed_;
  return buffer_[begin_++];
}

size_t InputStream::peek(uint8_t* data, size_t size) {
  if (end_ - begin_ < size) fill(size);
  const size_t have = std::min(size, end_ - begin_);
  std::memcpy(data, buffer_.data() + begin_, have);
  return have;
}

uint64_t InputStream::skip(uint64_t size) {
  const uint64_t buffered = std::min<uint64_t>(size, end_ - begin_);
  begin_ += static_cast<size_t>(buffered);
  uint64_t done = buffered;
  if (done < size && fileSize_ && !atEnd_) {
    // Nothing is buffered now: move the file position past what is left to skip.
    const uint64_t onFile = std::min(size - done, *fileSize_ - std::min(*fileSize_, consumed_ + done));
    if (onFile > 0 && lseek(fd_, static_cast<off_t>(onFile), SEEK_CUR) >= 0) done += onFile;
  }
  while (done < size) {
    if (begin_ == end_ && !fill(1)) break;
    const size_t take = static_cast<size_t>(std::min<uint64_t>(size - done, end_ - begin_));
    begin_ += take;
    done += take;
  }
  consumed_ += done;
  return done;
}

std::optional<uint64_t> InputStream::bytesRemaining() const {
  if (!fileSize_) return std::nullopt;
  return *fileSize_ > consumed_ ? *fileSize_ - consumed_ : 0;
}

std::string LeftOverMessage(const std::string& input, uint64_t frames, uint64_t frameBytes, uint64_t leftOver) {
  return "input " + input + " is not a whole number of " + std::to_string(frameBytes) +
         "-byte frames: " + std::to_string(leftOver) + " bytes left over after " + std::to_string(frames) +
         (frames == 1 ? " frame" : " frames");
}

RawFrameReader::RawFrameReader(InputStream& input, uint64_t frameBytes) : input_(input), frameBytes_(frameBytes) {
  if (const auto remaining = input_.bytesRemaining()) {
    if (*remaining % frameBytes_ != 0) {
      throw ToolError(LeftOverMessage(input_.name(), *remaining / frameBytes_, frameBytes_, *remaining % frameBytes_));
    }
  }
}

bool RawFrameReader::readFrame(uint8_t* data) {
  const size_t got = input_.read(data, frameBytes_);
  if (got == frameBytes_) {
    ++framesRead_;
    return true;
  }
  if (got == 0) return false;
  throw ToolError(LeftOverMessage(input_.name(), framesRead_, frameBytes_, got));
}

std::optional<uint64_t> RawFrameReader::framesRemaining() const {
  const auto remaining = input_.bytesRemaining();
  if (!remaining) return std::nullopt;
  return *remaining / frameBytes_;
}

std::unique_ptr<OutputSink> OpenOutput(const std::string& path, bool overwrite) {
  if (path == "-") return std::make_unique<StandardOutputSink>();
  return std::make_unique<FileOutputSink>(path, overwrite);
}

}  // namespace pellix::convert
