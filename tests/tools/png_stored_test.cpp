// The PNG encoder of builds without libpng, read back with libpng: the same
// pixels as libpng's own encoding, across stored-block boundaries and row
// padding.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "tests/tools/tool_runner.h"
#include "tools/pellix_convert/png_writer.h"

namespace {

using pellix::testing::DecodePng;

TEST(StoredPngTest, DecodesToThePixelsOfLibpngsEncoding) {
  const struct {
    int32_t width, height, padding;
  } cases[] = {{1, 1, 0}, {64, 36, 0}, {33, 7, 12}, {300, 250, 4}};  // the last spans several 64 KiB blocks
  std::mt19937 random(7);
  pellix::testing::ScratchFolder folder;
  for (const auto& c : cases) {
    const uint64_t pitch = 4 * static_cast<uint64_t>(c.width) + static_cast<uint64_t>(c.padding);
    std::vector<uint8_t> bgra(pitch * static_cast<uint64_t>(c.height));
    for (auto& byte : bgra) byte = static_cast<uint8_t>(random());
    const auto stored = pellix::convert::EncodeStoredPng(bgra.data(), c.width, c.height, pitch);
    const auto reference = pellix::convert::EncodePng(bgra.data(), c.width, c.height, pitch);
    std::ofstream(folder / "stored.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(stored.data()), static_cast<std::streamsize>(stored.size()));
    std::ofstream(folder / "reference.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(reference.data()), static_cast<std::streamsize>(reference.size()));
    const auto decoded = DecodePng(folder / "stored.png");
    const auto expected = DecodePng(folder / "reference.png");
    ASSERT_TRUE(decoded.has_value()) << c.width << "x" << c.height;
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(decoded->width, static_cast<uint32_t>(c.width));
    EXPECT_EQ(decoded->height, static_cast<uint32_t>(c.height));
    EXPECT_EQ(decoded->rgb, expected->rgb) << c.width << "x" << c.height;
  }
}

}  // namespace
