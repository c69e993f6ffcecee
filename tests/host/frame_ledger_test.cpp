#include "host/frame_ledger.h"

#include <gtest/gtest.h>

namespace pellix {
namespace {

TEST(FrameLedger, CleanWhenEveryFrameReleasedOnce) {
  FrameLedger ledger;
  const uint64_t a = ledger.noteHandedOut("a");
  const uint64_t b = ledger.noteHandedOut("b");
  EXPECT_NE(a, b);
  ledger.noteReleased(b);
  EXPECT_FALSE(ledger.report().clean());
  ledger.noteReleased(a);
  const LedgerReport report = ledger.report();
  EXPECT_TRUE(report.clean()) << report.describe();
  EXPECT_EQ(report.handedOut, 2u);
  EXPECT_EQ(report.released, 2u);
}

TEST(FrameLedger, SecondReleaseOfATicketIsAProblem) {
  FrameLedger ledger;
  const uint64_t ticket = ledger.noteHandedOut("frame");
  ledger.noteReleased(ticket);
  ledger.noteReleased(ticket);
  const LedgerReport report = ledger.report();
  EXPECT_FALSE(report.clean());
  EXPECT_EQ(report.released, 1u);
  ASSERT_EQ(report.problems.size(), 1u);
}

TEST(FrameLedger, DescribeNamesOutstandingFramesAndProblems) {
  FrameLedger ledger;
  ledger.noteHandedOut("640x480 BGRA");
  const uint64_t other = ledger.noteHandedOut("x");
  ledger.noteProblem(other, "unlock() without a matching lock()");
  const std::string text = ledger.report().describe();
  EXPECT_NE(text.find("640x480 BGRA"), std::string::npos) << text;
  EXPECT_NE(text.find("unlock() without"), std::string::npos) << text;
}

}  // namespace
}  // namespace pellix
