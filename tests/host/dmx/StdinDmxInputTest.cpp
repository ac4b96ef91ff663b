#include "host/dmx/StdinDmxInput.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QTest>
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace notecast::host {
namespace {

using Kind = StdinDmxInput::Line::Kind;
using Changes = std::vector<ChannelChange>;

TEST(StdinLineTest, ChannelAndValueInDecimalOrBlankOrMalformed) {
  const StdinDmxInput::Line line = StdinDmxInput::parseLine("  513\t255 \r");
  EXPECT_EQ(line.kind, Kind::kChange);
  EXPECT_EQ(line.change, (ChannelChange{513, 255}));
  EXPECT_EQ(StdinDmxInput::parseLine(" \t\r").kind, Kind::kBlank);
  for (const char* text : {"1", "1 2 3", "0 5", "1 256", "-1 5", "+1 5", "x 5", "1 0x10",
                           "2147483137 1", "99999999999 1", "1,5"}) {
    EXPECT_EQ(StdinDmxInput::parseLine(text).kind, Kind::kMalformed) << text;
  }
}

// An input reading the read end of a pipe the test writes to.
class StdinDmxInputTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::pipe(ends_), 0);
    input_ = std::make_unique<StdinDmxInput>(ends_[0], warnings_);
    QObject::connect(input_.get(), &DmxInput::changed, [this](int channel, int value) {
      changes_.push_back({channel, value});
    });
    QObject::connect(input_.get(), &DmxInput::finished, [this] { ++finished_; });
    input_->start();
  }
  void TearDown() override {
    input_.reset();
    ::close(ends_[0]);
    if (ends_[1] >= 0) ::close(ends_[1]);
  }
  void write(const std::string& text) {
    ASSERT_EQ(::write(ends_[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  void closeInput() {
    ::close(ends_[1]);
    ends_[1] = -1;
  }

  int ends_[2] = {-1, -1};
  std::ostringstream warnings_;
  std::unique_ptr<StdinDmxInput> input_;
  Changes changes_;
  int finished_ = 0;
};

TEST_F(StdinDmxInputTest, LinesBecomeChangesAndMistakesAreSkippedWithTheirLineNumber) {
  write("1 255\n513 7\nnonsense\n\n1 255\n1 0\n2 300\n");
  EXPECT_TRUE(QTest::qWaitFor([&] { return changes_.size() == 3; }));
  EXPECT_EQ(changes_, (Changes{{1, 255}, {513, 7}, {1, 0}}));  // 1 255 again is no change
  EXPECT_EQ(warnings_.str(),
            "notecast-host: warning: standard input line 3: expected \"CHANNEL VALUE\" (channel "
            "1..2147483136, value 0..255); skipped\n"
            "notecast-host: warning: standard input line 7: expected \"CHANNEL VALUE\" (channel "
            "1..2147483136, value 0..255); skipped\n");
  EXPECT_EQ(input_->status().frames, 4);  // the value lines
  EXPECT_EQ(input_->status().lastChannel, 1);
  EXPECT_EQ(input_->status().lastValue, 0);
  EXPECT_EQ(finished_, 0);
}

TEST_F(StdinDmxInputTest, LineSplitAcrossWritesAndLastLineWithoutEnd) {
  write("4");
  QTest::qWait(20);
  write("0 1");
  QTest::qWait(20);
  write("2\n9 9");
  EXPECT_TRUE(QTest::qWaitFor([&] { return changes_.size() == 1; }));
  EXPECT_EQ(changes_, (Changes{{40, 12}}));
  closeInput();
  EXPECT_TRUE(QTest::qWaitFor([&] { return finished_ > 0; }));
  QTest::qWait(50);
  EXPECT_EQ(changes_, (Changes{{40, 12}, {9, 9}}));
  EXPECT_EQ(finished_, 1);
  EXPECT_EQ(input_->status().state, "ended");
}

// The pipe holds 64 KiB: bigger inputs go in parts, read by the event loop in between.
TEST_F(StdinDmxInputTest, OverlongAndBinaryLinesAreToldOnceAndSkipped) {
  const std::string longest = "5 5" + std::string(StdinDmxInput::kMaxLineLength - 3, ' ');
  write("1 1\n" + std::string(5000, '7') + "\n2 2\n" + std::string("3 \0 3\n", 6) + longest + "\n");
  EXPECT_TRUE(QTest::qWaitFor([&] { return changes_.size() == 3; }));
  EXPECT_EQ(changes_, (Changes{{1, 1}, {2, 2}, {5, 5}}));
  EXPECT_EQ(warnings_.str(),
            "notecast-host: warning: standard input line 2: longer than 1024 bytes; skipped\n"
            "notecast-host: warning: standard input line 4: not text (byte 0x00 at column 3); "
            "skipped\n");
  // A line without end (/dev/zero) is told at once, and whatever follows it is read as it comes.
  warnings_.str("");
  for (int part = 0; part < 20; ++part) {
    write(std::string(32768, '\0'));
    QTest::qWait(5);
  }
  EXPECT_TRUE(QTest::qWaitFor([&] { return !warnings_.str().empty(); }));
  write("\n6 6\n");
  EXPECT_TRUE(QTest::qWaitFor([&] { return changes_.size() == 4; }));
  EXPECT_EQ(warnings_.str(),
            "notecast-host: warning: standard input line 6: not text (byte 0x00 at column 1); "
            "skipped\n");
}

TEST_F(StdinDmxInputTest, SkippedLinesPastAHundredAreCountedAndTheTotalToldAtTheEnd) {
  std::string lines;
  for (int line = 0; line < 150; ++line) lines += "x\n";
  write(lines + "1 1\n");
  EXPECT_TRUE(QTest::qWaitFor([&] { return changes_.size() == 1; }));
  closeInput();
  EXPECT_TRUE(QTest::qWaitFor([&] { return finished_ > 0; }));
  const std::string text = warnings_.str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 102) << text;
  EXPECT_NE(text.find("line 100: expected"), std::string::npos);
  EXPECT_EQ(text.find("line 101:"), std::string::npos);
  EXPECT_TRUE(
      text.ends_with("standard input: further skipped lines are counted, not shown\n"
                     "notecast-host: warning: standard input: 150 lines skipped in all\n"))
      << text;
}

// Each new universe holds 512 values; past the bound they are refused, and told once.
TEST_F(StdinDmxInputTest, UniversesPastTheBoundAreIgnoredWithOneWarning) {
  const int universes = static_cast<int>(ChannelState::kMaxUniverses) + 2;
  for (int first = 1; first <= universes; first += 1000) {
    std::string lines;
    for (int universe = first; universe < first + 1000 && universe <= universes; ++universe) {
      lines += std::to_string(ChannelState::channelOf(static_cast<unsigned>(universe), 1)) + " 1\n";
    }
    write(lines);
    EXPECT_TRUE(QTest::qWaitFor([&] {
      return input_->status().frames >= first - 1 + 1000 || input_->status().frames == universes;
    }));
  }
  write("1 2\n");
  EXPECT_TRUE(QTest::qWaitFor([&] { return changes_.size() == ChannelState::kMaxUniverses + 1; }));
  EXPECT_EQ(changes_.back(), (ChannelChange{1, 2}));
  EXPECT_EQ(warnings_.str(),
            "notecast-host: warning: DMX input: more than 4096 universes; "
            "universe 4097 and any further new ones are ignored\n");
}

TEST_F(StdinDmxInputTest, StoppedInputReadsNoMore) {
  write("1 1\n");
  EXPECT_TRUE(QTest::qWaitFor([&] { return changes_.size() == 1; }));
  input_->stop();
  write("2 2\n");
  closeInput();
  QTest::qWait(50);
  EXPECT_EQ(changes_.size(), 1u);
  EXPECT_EQ(finished_, 0);
  EXPECT_EQ(input_->status().state, "stopped");
}

}  // namespace
}  // namespace notecast::host
