#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "bench/results.h"

namespace pellix::bench {
namespace {

TEST(ResultBook, MedianOutranksASingleRunWhateverTheOrder) {
  ResultBook& book = ResultBook::instance();
  book.record("test/a", 10.0, false);
  EXPECT_EQ(book.measured("test/a"), 10.0);
  book.record("test/a", 20.0, true);
  EXPECT_EQ(book.measured("test/a"), 20.0);
  book.record("test/a", 30.0, false);
  EXPECT_EQ(book.measured("test/a"), 20.0);
  book.record("test/a", 25.0, true);
  EXPECT_EQ(book.measured("test/a"), 25.0);
  EXPECT_FALSE(book.measured("test/never-run").has_value());
}

TEST(PairName, FollowsTheConverterNames) {
  EXPECT_EQ(PairName(PixelFormat::I420, PixelFormat::BGRA), "I420ToBGRA");
  EXPECT_EQ(PairName(PixelFormat::UYVY, PixelFormat::YV12), "UYVYToYV12");
}

std::string PairBenchmark(const char* contender, const FrameSize& size) {
  return "pair/YUY2ToUYVY/" + size.label() + "/" + contender;
}

// One pair with every contender registered, libswscale never measured.
TEST(Summary, OneLinePerPairAndSizeWithNaForMissingFigures) {
  ResultBook& book = ResultBook::instance();
  const PixelFormat in = PixelFormat::YUY2, out = PixelFormat::UYVY;
  for (const FrameSize& size : PairSizes()) {
    for (Contender c : {Contender::Ours, Contender::Libyuv, Contender::Libswscale, Contender::Memcpy}) {
      book.add(PairEntry{PairBenchmark(ContenderName(c), size), in, out, size, c, "how"});
    }
  }
  const FrameSize big = {1920, 1080};
  book.record(PairBenchmark("ours", big), 1234.56, true);
  book.record(PairBenchmark("libyuv", big), 617.28, true);
  book.record(PairBenchmark("memcpy", big), 2469.12, true);

  std::ostringstream summary;
  PrintSummary(summary);
  EXPECT_NE(summary.str().find("summary YUY2ToUYVY/1920x1080 1234.6 617.3 NA 2469.1\n"), std::string::npos)
      << summary.str();
  EXPECT_NE(summary.str().find("summary YUY2ToUYVY/352x288 NA NA NA NA\n"), std::string::npos);

  std::ostringstream tables;
  PrintPairTables(tables);
  // ours/libyuv 2.00, ours/libswscale unknown, ours/memcpy 0.50
  const std::string text = tables.str();
  // The row of the 1920x1080 table, wherever that table stands among the sizes.
  const size_t table = text.find("Whole frames at 1920x1080");
  ASSERT_NE(table, std::string::npos);
  const size_t row = text.find("YUY2ToUYVY", table);
  ASSERT_NE(row, std::string::npos);
  const std::string line = text.substr(row, text.find('\n', row) - row);
  EXPECT_NE(line.find("2.00"), std::string::npos) << line;
  EXPECT_NE(line.find("0.50"), std::string::npos) << line;
}

}  // namespace
}  // namespace pellix::bench
