#include "host/session/FailureTally.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace notecast::host {
namespace {

using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

constexpr const char* kLost = "error 0x800A7531 (run-time error 30001: run-time error)";
constexpr const char* kRange = "error 0x800A0009 (subscript out of range)";

class FailureTallyTest : public ::testing::Test {
 protected:
  void fail(int times, const std::string& result, int channel = 7) {
    for (int i = 0; i < times; ++i)
      tally_.note("DMX channel " + std::to_string(channel) + " = 128", result);
  }

  Lines lines_;
  Clock::time_point now_ = Clock::time_point() + std::chrono::hours(1);
  FailureTally tally_{"DMX changes", [this](const std::string& line) { lines_.push_back(line); },
                      [this] { return now_; }};
};

TEST_F(FailureTallyTest, EachKindIsToldInFullOnceThenCountedAtTenHundredThousand) {
  fail(1, kLost);
  ASSERT_EQ(lines_, Lines{std::string("DMX channel 7 = 128: ") + kLost}) << "the first as it was";
  fail(8, kLost);
  EXPECT_EQ(lines_.size(), 1u) << "the repeats are counted, not printed";
  fail(1, kLost, 9);
  ASSERT_EQ(lines_.size(), 2u);
  EXPECT_EQ(lines_[1], std::string(kLost) +
                           " again: 10 DMX changes have failed with it so far (the last: DMX "
                           "channel 9 = 128)");
  fail(1, kRange);
  EXPECT_EQ(lines_.back(), std::string("DMX channel 7 = 128: ") + kRange) << "another kind";
  fail(990, kLost);
  EXPECT_EQ(lines_.size(), 5u) << "at 100 and at 1000";
  EXPECT_NE(lines_[3].find(" 100 DMX changes"), std::string::npos);
  EXPECT_NE(lines_[4].find(" 1000 DMX changes"), std::string::npos);
  EXPECT_EQ(tally_.count(kLost), 1000);
  EXPECT_EQ(tally_.total(), 1001);

  lines_.clear();
  tally_.totals();
  EXPECT_EQ(lines_, Lines{std::string(kLost) + ": 1000 DMX changes failed with it in all"})
      << "a kind that happened once needs no total";
}

TEST_F(FailureTallyTest, AKindThatKeepsFailingIsCountedAgainEveryIntervalBetweenMilestones) {
  fail(11, kLost);
  const std::size_t told = lines_.size();
  now_ += FailureTally::kRepeatInterval - std::chrono::seconds(1);
  fail(1, kLost);
  EXPECT_EQ(lines_.size(), told);
  now_ += std::chrono::seconds(1);
  fail(1, kLost);
  ASSERT_EQ(lines_.size(), told + 1);
  EXPECT_NE(lines_.back().find(" 13 DMX changes have failed"), std::string::npos) << lines_.back();
}

}  // namespace
}  // namespace notecast::host
