#include "tools/pellix_convert/raw_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tools/pellix_convert/tool_error.h"

namespace pellix::convert {
namespace {

constexpr size_t kReadBlock = 1 << 20;

}  // namespace

InputStream::InputStream(const std::string& path) : file_(path), buffer_(kReadBlock) {}

bool InputStream::fill(size_t want) {
  want = std::min(want, buffer_.size());
  if (begin_ != 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  while (end_ < want && !atEnd_) {
    const size_t got = file_.readSome(buffer_.data() + end_, buffer_.size() - end_);
    if (got == 0) atEnd_ = true;
    end_ += got;
  }
  return end_ > begin_;
}

size_t InputStream::read(uint8_t* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    if (begin_ == end_ && size - done >= buffer_.size() && !atEnd_) {
      // Large reads (whole frames) go straight to their destination.
      const size_t got = file_.readSome(data + done, size - done);
      if (got == 0) atEnd_ = true;
      done += got;
      continue;
    }
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
  const std::optional<uint64_t>& fileSize = file_.length();
  if (done < size && fileSize && !atEnd_) {
    // Nothing is buffered now: move the file position past what is left to skip.
    const uint64_t onFile = std::min(size - done, *fileSize - std::min(*fileSize, consumed_ + done));
    if (onFile > 0 && file_.seekForward(onFile)) done += onFile;
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
  const std::optional<uint64_t>& length = file_.length();
  if (!length) return std::nullopt;
  return *length > consumed_ ? *length - consumed_ : 0;
}

std::string LeftOverMessage(const std::string& input, uint64_t frames, uint64_t frameBytes, uint64_t leftOver) {
  return "input " + input + " is not a whole number of " + std::to_string(frameBytes) +
         "-byte frames: " + std::to_string(leftOver) + " bytes left over after " + std::to_string(frames) +
         (frames == 1 ? " frame" : " frames");
}

RawFrameReader::RawFrameReader(InputStream& input, uint64_t frameBytes) : input_(input), frameBytes_(frameBytes) {}

bool RawFrameReader::readFrame(uint8_t* data) {
  const size_t got = input_.read(data, frameBytes_);
  if (got == frameBytes_) {
    ++framesRead_;
    return true;
  }
  if (got == 0) return false;
  throw TruncatedInput(LeftOverMessage(input_.name(), framesRead_, frameBytes_, got));
}

std::optional<uint64_t> RawFrameReader::framesRemaining() const {
  const auto remaining = input_.bytesRemaining();
  if (!remaining) return std::nullopt;
  return *remaining / frameBytes_;
}

std::unique_ptr<OutputFile> OpenOutput(const std::string& path, bool overwrite) {
  if (path == "-") return OutputFile::standardOutput();
  return std::make_unique<OutputFile>(path, overwrite);
}

}  // namespace pellix::convert
