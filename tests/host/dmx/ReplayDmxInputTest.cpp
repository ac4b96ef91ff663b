#include "host/dmx/ReplayDmxInput.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <vector>

namespace notecast::host {
namespace {

using Changes = std::vector<ChannelChange>;

// Three frames 20 ms apart: channel 1 goes 10, 20, 30; the middle frame also sets 513.
const QByteArray kShow = "OLA Show\n1 10\n20\n1 20\n20\n2 5\n0\n1 30\n";

class ReplayDmxInputTest : public testing::Test {
 protected:
  void play(bool loop) {
    input_ =
        std::make_unique<ReplayDmxInput>(ShowFile::parse(kShow, "tiny.show"), "tiny.show", loop);
    QObject::connect(input_.get(), &DmxInput::changed, [this](int channel, int value) {
      changes_.push_back({channel, value});
      times_.push_back(clock_.elapsed());
    });
    QObject::connect(input_.get(), &DmxInput::finished, [this] { ++finished_; });
    clock_.start();
    input_->start();
  }

  std::unique_ptr<ReplayDmxInput> input_;
  QElapsedTimer clock_;
  Changes changes_;
  std::vector<qint64> times_;
  int finished_ = 0;
};

TEST_F(ReplayDmxInputTest, PlaysFramesInOrderWithTheirDelaysAndFinishesOnce) {
  play(false);
  EXPECT_EQ(input_->status().source, "replay of tiny.show");
  EXPECT_TRUE(changes_.empty());  // the first frame comes from the event loop, not start()
  ASSERT_TRUE(QTest::qWaitFor([&] { return finished_ > 0; }));
  QTest::qWait(100);
  EXPECT_EQ(changes_, (Changes{{1, 10}, {1, 20}, {513, 5}, {1, 30}}));
  EXPECT_EQ(finished_, 1);
  // 20 ms after the first, 40 ms after the first (the third frame's delay is 0).
  EXPECT_GE(times_[1] - times_[0], 19);
  EXPECT_GE(times_[3] - times_[0], 39);
  EXPECT_EQ(input_->status().frames, 4);
  EXPECT_EQ(input_->status().state, "ended");
}

TEST_F(ReplayDmxInputTest, LoopStartsOverWithoutFinishing) {
  play(true);
  // Channel 1 goes back to 10 at the start of every round.
  ASSERT_TRUE(QTest::qWaitFor([&] {
    return std::count(changes_.begin(), changes_.end(), ChannelChange{1, 10}) >= 3;
  }));
  EXPECT_EQ(finished_, 0);
  const Changes round = {{1, 10}, {1, 20}, {513, 5}, {1, 30}};
  // 513 stays 5 after the first round: no change there any more.
  const Changes later = {{1, 10}, {1, 20}, {1, 30}};
  ASSERT_GE(changes_.size(), 7u);
  EXPECT_EQ(Changes(changes_.begin(), changes_.begin() + 4), round);
  EXPECT_EQ(Changes(changes_.begin() + 4, changes_.begin() + 7), later);
  // The repetition waits a frame time after the last frame rather than none.
  EXPECT_GE(times_[4] - times_[3], ReplayDmxInput::kLoopPause.count() - 1);
  input_->stop();
  const std::size_t stoppedAt = changes_.size();
  QTest::qWait(100);
  EXPECT_EQ(changes_.size(), stoppedAt);
  EXPECT_EQ(input_->status().state, "stopped");
}

TEST_F(ReplayDmxInputTest, StatusChangesAreThrottled) {
  // 200 frames without delays: played as fast as the loop goes.
  QByteArray show = "OLA Show\n";
  for (int frame = 0; frame < 200; ++frame) {
    show += "1 " + QByteArray::number(frame % 256) + (frame < 199 ? "\n0\n" : "\n");
  }
  ReplayDmxInput input(ShowFile::parse(show, "fast.show"), "fast.show", false);
  int notices = 0;
  int finished = 0;
  QObject::connect(&input, &DmxInput::statusChanged, [&] { ++notices; });
  QObject::connect(&input, &DmxInput::finished, [&] { ++finished; });
  input.start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return finished > 0; }));
  EXPECT_EQ(input.status().frames, 200);
  EXPECT_EQ(input.status().framesPerSecond, 200);
  EXPECT_LE(notices, 3);
  // The rate falls back to 0 when the frames stop, and the status says so.
  const int before = notices;
  ASSERT_TRUE(QTest::qWaitFor([&] { return input.status().framesPerSecond == 0; }, 2000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return notices > before; }, 1000));
}

}  // namespace
}  // namespace notecast::host
