#include "host/session/SentMessageMonitor.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace notecast::host {
namespace {

std::string meaning(std::vector<std::uint8_t> bytes) {
  return describeMidiMessage(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

TEST(SentMessageMonitorTest, TellsEachChannelMessageByName) {
  EXPECT_EQ(meaning({0x90, 0x3c, 0x64}), "note on  ch 1  note 60  velocity 100");
  EXPECT_EQ(meaning({0x8f, 0x00, 0x00}), "note off  ch 16  note 0  velocity 0");
  EXPECT_EQ(meaning({0xb2, 0x07, 0x7f}), "control change  ch 3  controller 7  value 127");
  EXPECT_EQ(meaning({0xc0, 0x05}), "program change  ch 1  program 5");
  EXPECT_EQ(meaning({0xe0, 0x00, 0x40}), "pitch bend  ch 1  value 8192");
  EXPECT_EQ(meaning({0x90, 0x3c}), "note on, cut short");
  EXPECT_EQ(meaning({0xf0, 0x01}), "2 bytes, not a channel message");

  std::ostringstream out;
  SentMessageMonitor monitor(out);
  const std::uint8_t program[] = {0xc0, 0x05};
  monitor.MessageSent(program, 2);
  // "HH:MM:SS.mmm  c0 05     program change ...": the bytes line up with three-byte messages.
  EXPECT_EQ(out.str().substr(12), "  c0 05     program change  ch 1  program 5\n") << out.str();
}

}  // namespace
}  // namespace notecast::host
