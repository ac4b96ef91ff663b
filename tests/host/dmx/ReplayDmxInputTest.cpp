#include "host/dmx/ReplayDmxInput.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>
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
        std::make_unique<ReplayDmxInput>(ShowFile::fromText(kShow, "tiny.show"), "tiny.show", loop);
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
  // No sooner than 20 and 40 ms after the start (the third frame's delay is 0). Times count from
  // the start: a busy machine only makes frames late, never early.
  EXPECT_GE(times_[1], 19);
  EXPECT_GE(times_[3], 39);
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
  // The repetition waits a frame time after the last frame rather than none (counted from the
  // start, as above).
  EXPECT_GE(times_[4], 40 + ReplayDmxInput::kLoopPause.count() - 1);
  input_->stop();
  const std::size_t stoppedAt = changes_.size();
  QTest::qWait(100);
  EXPECT_EQ(changes_.size(), stoppedAt);
  EXPECT_EQ(input_->status().state, "stopped");
}

TEST_F(ReplayDmxInputTest, MalformedLineFurtherOnFailsTheInputAfterTheFramesBeforeIt) {
  ReplayDmxInput input(ShowFile::fromText("OLA Show\n1 10\n0\n1 20\n0\nbad\n", "bad.show"),
                       "bad.show", true);
  Changes changes;
  QStringList failures;
  int finished = 0;
  QObject::connect(&input, &DmxInput::changed, [&](int channel, int value) {
    changes.push_back({channel, value});
  });
  QObject::connect(&input, &DmxInput::failed, [&](const QString& reason) { failures << reason; });
  QObject::connect(&input, &DmxInput::finished, [&] { ++finished; });
  input.start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !failures.empty(); }));
  QTest::qWait(50);
  EXPECT_EQ(changes, (Changes{{1, 10}, {1, 20}}));
  EXPECT_EQ(
      failures,
      QStringList{"bad.show: line 6: expected \"UNIVERSE V1,V2,...\" with a universe from 1"});
  EXPECT_TRUE(input.status().state.startsWith("failed: bad.show: line 6"));
  EXPECT_EQ(finished, 0);
}

// A recording cut off while it was written: its whole frames play, round after round, and the
// cut one is told once.
TEST_F(ReplayDmxInputTest, LoopOfAFileCutShortPlaysItsWholeFramesAndWarnsOnce) {
  QTemporaryDir folder;
  QFile file(folder.filePath("cut.show"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("OLA Show\n1 10\n5\n1 20\n5\n1 3");  // cut inside "1 30"
  file.close();
  std::ostringstream warnings;
  ReplayDmxInput input(ShowFile::open(file.fileName()), "cut.show", true, warnings);
  Changes changes;
  QObject::connect(&input, &DmxInput::changed, [&](int channel, int value) {
    changes.push_back({channel, value});
  });
  input.start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return changes.size() >= 6; }));
  input.stop();
  EXPECT_EQ(Changes(changes.begin(), changes.begin() + 6),
            (Changes{{1, 10}, {1, 20}, {1, 10}, {1, 20}, {1, 10}, {1, 20}}));
  EXPECT_EQ(warnings.str(), "notecast-host: warning: " + file.fileName().toStdString() +
                                ": line 6: cut short at the end of the recording (no line end); "
                                "left out\n");
}

TEST_F(ReplayDmxInputTest, StatusChangesAreThrottled) {
  // 200 frames without delays: played as fast as the loop goes.
  QByteArray show = "OLA Show\n";
  for (int frame = 0; frame < 200; ++frame) {
    show += "1 " + QByteArray::number(frame % 256) + (frame < 199 ? "\n0\n" : "\n");
  }
  ReplayDmxInput input(ShowFile::fromText(show, "fast.show"), "fast.show", false);
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
