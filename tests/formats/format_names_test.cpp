// The three ways a format is named: by a host at port creation (first four
// characters, case-sensitive), on a command line (whole word, any case,
// FFmpeg's names too) and by a file extension.
#include "formats/format_names.h"

#include <gtest/gtest.h>

#include <optional>

namespace pellix {
namespace {

constexpr PixelFormat kNone = PixelFormat::None;

TEST(FormatNames, PortNamesByTheirFirstFourCharacters) {
  const struct {
    const char* name;
    PixelFormat format;
  } cases[] = {
      {"IYUV", PixelFormat::I420},          {"I420", PixelFormat::I420}, {"YV12", PixelFormat::YV12},
      {"UYVY", PixelFormat::UYVY},          {"YUY2", PixelFormat::YUY2}, {"BGRA", PixelFormat::BGRA},
      {"I420xyz", PixelFormat::I420},       {"YV12 planar", PixelFormat::YV12},
      {"i420", kNone},                      {"bgra", kNone},             {"YV1", kNone},
      {"", kNone},                          {nullptr, kNone},            {"IYU\0V", kNone},
      {"yuv420p", kNone},                   {"yuyv422", kNone},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFromPortName(c.name), c.format) << (c.name ? c.name : "null");
}

TEST(FormatNames, ShortPortNamesAreNotReadPastTheirEnd) {
  // Each buffer is exactly as long as its text; the sanitizer build catches
  // any read beyond it.
  const char one[1] = {'\0'};
  const char two[2] = {'Y', '\0'};
  const char four[4] = {'B', 'G', 'R', '\0'};
  for (const char* name : {one, two, four}) EXPECT_EQ(FormatFromPortName(name), kNone);
}

TEST(FormatNames, CommandLineNamesAreWholeWordsInAnyCase) {
  const struct {
    const char* name;
    std::optional<PixelFormat> format;
  } cases[] = {
      {"I420", PixelFormat::I420},    {"iyuv", PixelFormat::I420},    {"Yv12", PixelFormat::YV12},
      {"YUY2", PixelFormat::YUY2},    {"uyvy", PixelFormat::UYVY},    {"bgra", PixelFormat::BGRA},
      {"yuv420p", PixelFormat::I420}, {"YUYV422", PixelFormat::YUY2}, {"uyvy422", PixelFormat::UYVY},
      {"", std::nullopt},             {"I42", std::nullopt},          {"I4200", std::nullopt},
      {"I420 ", std::nullopt},        {"YV12 planar", std::nullopt},  {"rgba", std::nullopt},
      {"nv12", std::nullopt},         {"yuv420", std::nullopt},       {"yuvj420p", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFromCommandLineName(c.name), c.format) << c.name;
}

TEST(FormatNames, ExtensionsAreTheFourLetterNames) {
  const struct {
    const char* extension;
    std::optional<PixelFormat> format;
  } cases[] = {
      {"i420", PixelFormat::I420}, {"IYUV", PixelFormat::I420}, {"yv12", PixelFormat::YV12},
      {"yuy2", PixelFormat::YUY2}, {"Uyvy", PixelFormat::UYVY}, {"BGRA", PixelFormat::BGRA},
      {"yuv", std::nullopt},       {"yuv420p", std::nullopt},   {"rgb", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFromExtension(c.extension), c.format) << c.extension;
}

// Every format is reachable by its own name under all three rules, and by
// FFmpeg's name where FFmpeg has one.
TEST(FormatNames, EveryFormatByEveryRule) {
  for (PixelFormat format : kAllFormats) {
    EXPECT_EQ(FormatFromPortName(FormatName(format)), format) << FormatName(format);
    EXPECT_EQ(FormatFromCommandLineName(FormatName(format)), format) << FormatName(format);
    EXPECT_EQ(FormatFromExtension(FormatName(format)), format) << FormatName(format);
    if (const char* ffmpeg = FfmpegPixelFormatName(format)) {
      EXPECT_EQ(FormatFromCommandLineName(ffmpeg), format) << ffmpeg;
    }
  }
  EXPECT_EQ(FfmpegPixelFormatName(PixelFormat::YV12), nullptr);
  EXPECT_EQ(FfmpegPixelFormatName(kNone), nullptr);
  EXPECT_STREQ(FfmpegPixelFormatName(PixelFormat::YUY2), "yuyv422");
  EXPECT_EQ(CommandLineFormatNames(), "I420, IYUV, YV12, YUY2, UYVY, BGRA, yuv420p, yuyv422, uyvy422, bgra");
}

}  // namespace
}  // namespace pellix
