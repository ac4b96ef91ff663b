// The send log an operator reads: counts, and the last messages in the order they went out.

#include "midi/SendLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace notecast {
namespace {

TEST(SendLogTest, CountsWhatWentOutAndWhatDidNot) {
  SendLog log;
  EXPECT_EQ(log.recentLines(), "");
  log.recordSend(0x90, 0x40, 0x7F);
  log.recordSend(0xF0, 0, 0);  // SysEx: no short message
  log.recordSend(0xC1, 0x05, 0x33);
  EXPECT_EQ(log.sent(), 2);
  EXPECT_EQ(log.notSent(), 1);
  EXPECT_EQ(log.recentLines(), "90 40 7F\nC1 05\n");
}

TEST(SendLogTest, KeepsTheLastMessagesOldestFirstOnceTheRingIsFull) {
  SendLog log;
  const int total = static_cast<int>(SendLog::kRecentMessages) + 3;
  for (int i = 0; i < total; ++i) log.recordSend(0xB0, 0x07, i);
  std::string expected;
  for (int i = total - static_cast<int>(SendLog::kRecentMessages); i < total; ++i) {
    char line[16];
    std::snprintf(line, sizeof line, "B0 07 %02X\n", i);
    expected += line;
  }
  EXPECT_EQ(log.recentLines(), expected);
  EXPECT_EQ(log.sent(), total);
}

}  // namespace
}  // namespace notecast
