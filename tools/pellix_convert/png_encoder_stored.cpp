// PNG encoding without a compression library: filter type 0 on every row and
// the zlib stream made of stored deflate blocks (built everywhere, so the
// suite can read its output back with libpng). Any PNG reader gives the
// same pixels as from libpng's output; the file is larger.
#include <array>

#include "tools/pellix_convert/png_writer.h"

namespace pellix::convert {
namespace {

const std::array<uint32_t, 256>& CrcTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// Length, type, data and the CRC of type and data.
void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  const size_t typeStart = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = typeStart; i < out.size(); ++i) crc = CrcTable()[(crc ^ out[i]) & 0xFF] ^ (crc >> 8);
  PutBigEndian(out, crc ^ 0xFFFFFFFFu);
}

std::vector<uint8_t> StoredZlibStream(const std::vector<uint8_t>& raw) {
  constexpr size_t kMostPerBlock = 65535;
  std::vector<uint8_t> z{0x78, 0x01};
  size_t at = 0;
  do {
    const size_t size = raw.size() - at < kMostPerBlock ? raw.size() - at : kMostPerBlock;
    const bool last = at + size == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<uint8_t>(size));
    z.push_back(static_cast<uint8_t>(size >> 8));
    z.push_back(static_cast<uint8_t>(~size));
    z.push_back(static_cast<uint8_t>(~size >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at), raw.begin() + static_cast<std::ptrdiff_t>(at + size));
    at += size;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(z, (b << 16) | a);
  return z;
}

}  // namespace

std::vector<uint8_t> EncodeStoredPng(const uint8_t* bgra, int32_t width, int32_t height, uint64_t pitch) {
  const std::vector<uint8_t> rgb = RgbFromBgra(bgra, width, height, pitch);
  const size_t rgbPitch = 3 * static_cast<size_t>(width);
  std::vector<uint8_t> filtered;
  filtered.reserve(rgb.size() + static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    filtered.push_back(0);  // filter type None
    const auto row = rgb.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * rgbPitch);
    filtered.insert(filtered.end(), row, row + static_cast<std::ptrdiff_t>(rgbPitch));
  }
  std::vector<uint8_t> header;
  PutBigEndian(header, static_cast<uint32_t>(width));
  PutBigEndian(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, adaptive filters, no interlace
  std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", StoredZlibStream(filtered));
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace pellix::convert
