// The byte encoding of fuzz inputs: a reader that turns any bytes into
// decisions (never failing: an exhausted input reads as zeros) and the
// matching writer the seed generator uses, so that hand-made seeds and the
// harness agree on what each byte means.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pellix::fuzz {

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool empty() const { return position_ >= size_; }

  uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }

  // Little-endian, so that a seed's raw values read the same on every host.
  uint32_t word() {
    uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) value |= static_cast<uint32_t>(byte()) << shift;
    return value;
  }

  // Mostly small values around zero (where odd and degenerate geometries
  // live), sometimes a few thousand, sometimes any 32-bit value:
  //   0x00-0xBF  the byte minus 32 (-32 .. 159)
  //   0xC0-0xCF  12 bits from this and the next byte (0 .. 4095)
  //   0xD0-0xDF  the same, negated
  //   0xE0-0xFF  the next four bytes as a signed word
  int32_t dimension() {
    const uint8_t head = byte();
    if (head < 0xC0) return static_cast<int32_t>(head) - 32;
    if (head < 0xE0) {
      const int32_t magnitude = static_cast<int32_t>(((head & 0x0Fu) << 8) | byte());
      return head < 0xD0 ? magnitude : -magnitude;
    }
    return static_cast<int32_t>(word());
  }

  // A length byte, then up to that many bytes (fewer if the input ends).
  std::string text() {
    const size_t length = byte();
    std::string out;
    while (out.size() < length && !empty()) out.push_back(static_cast<char>(byte()));
    return out;
  }

  // Everything not read yet; reading stops there.
  std::vector<uint8_t> rest() {
    std::vector<uint8_t> out(data_ + (position_ < size_ ? position_ : size_), data_ + size_);
    position_ = size_;
    return out;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

class ByteWriter {
 public:
  ByteWriter& byte(uint8_t value) {
    bytes_.push_back(value);
    return *this;
  }

  ByteWriter& word(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) byte(static_cast<uint8_t>(value >> shift));
    return *this;
  }

  // The shortest encoding ByteReader::dimension() reads back as `value`.
  ByteWriter& dimension(int32_t value) {
    if (value >= -32 && value <= 159) return byte(static_cast<uint8_t>(value + 32));
    if (value >= -4095 && value <= 4095) {
      const uint32_t magnitude = static_cast<uint32_t>(value < 0 ? -value : value);
      byte(static_cast<uint8_t>((value < 0 ? 0xD0 : 0xC0) | (magnitude >> 8)));
      return byte(static_cast<uint8_t>(magnitude & 0xFF));
    }
    byte(0xE0);
    return word(static_cast<uint32_t>(value));
  }

  ByteWriter& text(const std::string& value) {
    byte(static_cast<uint8_t>(value.size()));
    for (char c : value) byte(static_cast<uint8_t>(c));
    return *this;
  }

  ByteWriter& raw(const std::vector<uint8_t>& values) {
    bytes_.insert(bytes_.end(), values.begin(), values.end());
    return *this;
  }

  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace pellix::fuzz
