#include "host/dmx/StdinDmxInput.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QTest>
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
