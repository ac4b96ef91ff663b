// The OLA input against a real daemon of the test's own (SafeOlad: Dummy plugin only, loopback
// only). Sends go through OLA's own command-line tool and through a client in this process.

#include "host/dmx/OlaDmxInput.h"

#include <gtest/gtest.h>
#include <ola/DmxBuffer.h>
#include <ola/client/ClientWrapper.h>
#include <ola/client/OlaClient.h>
#include <ola/io/SelectServer.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/OlaDmxSender.h"
#include "tests/support/SafeOlad.h"

namespace notecast::host {
namespace {

using notecast::testing::SafeOlad;
using Changes = std::vector<ChannelChange>;

constexpr int kConnectTimeoutMs = 5000;
constexpr int kDeliveryTimeoutMs = 5000;

// Sends frames as a second client of the daemon, from this thread.
class FrameSender {
 public:
  bool connect() { return wrapper_.Setup(); }  // never starts a daemon: auto-start is off
  void send(unsigned universe, const std::vector<std::uint8_t>& values) {
    ola::DmxBuffer buffer;
    buffer.Set(values.data(), static_cast<unsigned>(values.size()));
    wrapper_.GetClient()->SendDMX(universe, buffer, ola::client::SendDMXArgs());
  }
  // Lets the client write what it has queued.
  void flush() { wrapper_.GetSelectServer()->RunOnce(ola::TimeInterval(0, 0)); }

 private:
  ola::client::OlaClientWrapper wrapper_{false};
};

class OlaDmxInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string reason = SafeOlad::unavailableReason();
    if (!reason.empty()) GTEST_SKIP() << reason;
    startDaemon();
  }

  void startDaemon(quint16 rpcPort = SafeOlad::kRpcPort) {
    std::string error;
    olad_ = SafeOlad::start(&error, rpcPort);
    ASSERT_TRUE(olad_) << error;
  }

  // An input for `source` whose changes are recorded with the thread they came on.
  void open(const QString& source) {
    input_ = DmxInput::create(source, false);
    QObject::connect(input_.get(), &DmxInput::changed, [this](int channel, int value) {
      changes_.push_back({channel, value});
      offMainThread_ += QThread::currentThread() != QCoreApplication::instance()->thread();
    });
    input_->start();
  }

  bool waitForState(const char* state, int timeoutMs = kConnectTimeoutMs) {
    return QTest::qWaitFor([&] { return input_->status().state == state; }, timeoutMs);
  }
  bool waitForChanges(std::size_t count) {
    return QTest::qWaitFor([&] { return changes_.size() >= count; }, kDeliveryTimeoutMs);
  }

  std::unique_ptr<SafeOlad> olad_;
  std::unique_ptr<DmxInput> input_;
  Changes changes_;
  int offMainThread_ = 0;
};

TEST_F(OlaDmxInputTest, FramesFromOlaToolsArriveOnTheMainThreadInOrder) {
  open("ola:1,2");
  ASSERT_TRUE(waitForState(OlaDmxInput::kRunning)) << input_->status().state.toStdString();
  QString output;
  ASSERT_EQ(olad_->runTool("ola_set_dmx", {"-u", "1", "-d", "0,255,7"}, &output), 0)
      << output.toStdString();
  ASSERT_EQ(olad_->runTool("ola_set_dmx", {"-u", "2", "-d", "1"}, &output), 0)
      << output.toStdString();
  // A shorter frame changes only its own slots.
  ASSERT_EQ(olad_->runTool("ola_set_dmx", {"-u", "1", "-d", "9,255"}, &output), 0)
      << output.toStdString();
  ASSERT_TRUE(waitForChanges(4));
  QTest::qWait(100);
  EXPECT_EQ(changes_, (Changes{{2, 255}, {3, 7}, {513, 1}, {1, 9}}));
  EXPECT_EQ(offMainThread_, 0);
  const DmxInputStatus status = input_->status();
  EXPECT_EQ(status.frames, 3);
  EXPECT_EQ(status.changes, 4);
  EXPECT_EQ(status.lastChannel, 1);
  EXPECT_EQ(status.lastValue, 9);
}

// Batches smaller than the bound, each taken before the next comes: nothing holds the input up.
TEST_F(OlaDmxInputTest, ManyFramesAreNeitherDroppedNorMergedWhileTheMainThreadKeepsUp) {
  open("ola:1");
  ASSERT_TRUE(waitForState(OlaDmxInput::kRunning));
  FrameSender sender;
  ASSERT_TRUE(sender.connect());
  constexpr int kFrames = 300, kBatch = 20;
  for (int frame = 1; frame <= kFrames; ++frame) {
    sender.send(1,
                {static_cast<std::uint8_t>(frame % 256), static_cast<std::uint8_t>(frame / 256)});
    if (frame % kBatch != 0) continue;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          sender.flush();
          return input_->status().frames >= frame;
        },
        kDeliveryTimeoutMs));
  }
  Changes channel1;
  for (const ChannelChange& change : changes_) {
    if (change.channel == 1) channel1.push_back(change);
  }
  ASSERT_EQ(channel1.size(), static_cast<std::size_t>(kFrames));
  for (int frame = 1; frame <= kFrames; ++frame) {
    EXPECT_EQ(channel1[frame - 1].value, frame % 256) << "frame " << frame;
  }
  EXPECT_EQ(input_->status().folded, 0);
}

// The main thread busy elsewhere while frames keep coming (a plug-in call that does not return):
// the frames it did not read meanwhile are folded, and what goes out once the main thread is
// back ends in the newest values.
TEST_F(OlaDmxInputTest, FramesComingWhileTheMainThreadIsBusyFoldIntoTheNewest) {
  open("ola:1");
  ASSERT_TRUE(waitForState(OlaDmxInput::kRunning));
  qint64 toldFolded = 0;
  QObject::connect(input_.get(), &DmxInput::framesFolded,
                   [&](qint64 frames) { toldFolded += frames; });
  FrameSender sender;
  ASSERT_TRUE(sender.connect());
  constexpr int kFrames = 250;  // channel 1 counts the frames
  for (int frame = 1; frame <= kFrames; ++frame) {
    sender.send(1, {static_cast<std::uint8_t>(frame), 7});
  }
  // No event processing here: the main thread takes nothing meanwhile.
  for (int round = 0; round < 200; ++round) {
    sender.flush();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        sender.flush();
        return input_->status().frames >= kFrames;
      },
      kDeliveryTimeoutMs));
  QTest::qWait(100);
  const DmxInputStatus status = input_->status();
  EXPECT_EQ(status.frames, kFrames);
  EXPECT_GT(status.folded, 0) << "more than the bound came while the main thread was away";
  EXPECT_EQ(toldFolded, status.folded);
  Changes channel1;
  for (const ChannelChange& change : changes_) {
    if (change.channel == 1) channel1.push_back(change);
  }
  ASSERT_FALSE(channel1.empty());
  EXPECT_LE(channel1.size(), static_cast<std::size_t>(kFrames - status.folded));
  EXPECT_EQ(channel1.back().value, kFrames) << "the newest value arrives";
  EXPECT_TRUE(std::is_sorted(
      channel1.begin(), channel1.end(),
      [](const ChannelChange& a, const ChannelChange& b) { return a.value < b.value; }))
      << "what is kept keeps its order";
}

// A receiver of `changed` that opens a message box (a nested event loop) must not get the next
// frame's changes inside the current frame's.
TEST_F(OlaDmxInputTest, NestedEventLoopInAReceiverKeepsTheOrder) {
  open("ola:1");
  ASSERT_TRUE(waitForState(OlaDmxInput::kRunning));
  FrameSender sender;
  ASSERT_TRUE(sender.connect());
  int depth = 0, maxDepth = 0;
  QObject::connect(input_.get(), &DmxInput::changed, [&](int channel, int) {
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    if (channel == 1 && changes_.size() == 1) {
      // The box is open: the next frame comes now.
      sender.send(1, {2, 2, 2});
      QEventLoop box;
      QTimer flusher;
      QObject::connect(&flusher, &QTimer::timeout, [&] { sender.flush(); });
      flusher.start(5);
      QTimer::singleShot(500, &box, &QEventLoop::quit);
      box.exec();
    }
    --depth;
  });
  sender.send(1, {1, 1, 1});  // three changes; the first one opens the box
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        sender.flush();
        return changes_.size() >= 6;
      },
      kDeliveryTimeoutMs));
  EXPECT_EQ(changes_, (Changes{{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}}));
  EXPECT_EQ(maxDepth, 1);
  EXPECT_EQ(input_->status().frames, 2);
}

// A box that stays open while frames keep coming: the frames are read meanwhile and wait, about
// a second of them as they came and older ones folded, so the socket does not fill up and what
// follows the box ends in the newest values.
TEST_F(OlaDmxInputTest, FramesComingWhileAReceiverHoldsABoxWaitBoundedAndEndInTheNewest) {
  open("ola:1");
  ASSERT_TRUE(waitForState(OlaDmxInput::kRunning));
  FrameSender sender;
  ASSERT_TRUE(sender.connect());
  constexpr int kFrames = 150;  // more than the bound of the wait
  const auto held = static_cast<qint64>(DmxInput::kHeldFramesPerUniverse);
  int depth = 0, maxDepth = 0;
  qint64 readDuringBox = 0;
  QObject::connect(input_.get(), &DmxInput::changed, [&](int channel, int value) {
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    if (channel == 1 && value == 1) {
      QEventLoop box;
      QTimer feeder;
      int next = 2;
      QObject::connect(&feeder, &QTimer::timeout, [&] {
        if (next <= kFrames) sender.send(1, {static_cast<std::uint8_t>(next++)});
        sender.flush();
        if (next > kFrames && input_->status().frames >= kFrames) box.quit();
      });
      feeder.start(1);
      QTimer::singleShot(kDeliveryTimeoutMs, &box, &QEventLoop::quit);
      box.exec();
      readDuringBox = input_->status().frames;
    }
    --depth;
  });
  sender.send(1, {1});
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        sender.flush();
        return !changes_.empty() && changes_.back().value == kFrames;
      },
      kDeliveryTimeoutMs));
  EXPECT_EQ(readDuringBox, kFrames) << "frames are read while the box is open";
  EXPECT_EQ(maxDepth, 1);
  const DmxInputStatus status = input_->status();
  EXPECT_EQ(status.folded, kFrames - 1 - held) << "all but a second of them folded";
  EXPECT_EQ(changes_.size(), static_cast<std::size_t>(1 + held));
  EXPECT_TRUE(std::is_sorted(
      changes_.begin(), changes_.end(),
      [](const ChannelChange& a, const ChannelChange& b) { return a.value < b.value; }));
}

TEST_F(OlaDmxInputTest, LostDaemonIsReportedAndTheInputReconnects) {
  open("ola:1");
  ASSERT_TRUE(waitForState(OlaDmxInput::kRunning));
  olad_->stop();
  ASSERT_TRUE(waitForState(OlaDmxInput::kConnectionLost));
  // Retrying found no daemon, and started none.
  QTest::qWait(static_cast<int>(OlaDmxInput::kRetryInterval.count()) + 200);
  EXPECT_FALSE(SafeOlad::portInUse(SafeOlad::kRpcPort));
  EXPECT_EQ(input_->status().state, OlaDmxInput::kConnectionLost);
  startDaemon();
  ASSERT_TRUE(waitForState(OlaDmxInput::kRunning, kConnectTimeoutMs));
  QString output;
  ASSERT_EQ(olad_->runTool("ola_set_dmx", {"-u", "1", "-d", "4"}, &output), 0);
  ASSERT_TRUE(waitForChanges(1));
  EXPECT_EQ(changes_, (Changes{{1, 4}}));
}

TEST_F(OlaDmxInputTest, WithoutDaemonTheInputSaysSoStartsNoneAndStopsPromptly) {
  olad_->stop();
  open("ola:1");
  ASSERT_TRUE(waitForState(OlaDmxInput::kNoDaemon));
  QTest::qWait(static_cast<int>(OlaDmxInput::kRetryInterval.count()) * 2);
  EXPECT_FALSE(SafeOlad::portInUse(SafeOlad::kRpcPort));
  EXPECT_EQ(input_->status().state, OlaDmxInput::kNoDaemon);
  QElapsedTimer stopping;
  stopping.start();
  input_->stop();
  EXPECT_LT(stopping.elapsed(), 500);
  EXPECT_EQ(input_->status().state, "stopped");
}

// A daemon on another port: the input names it while it is not there, then reads from it.
TEST_F(OlaDmxInputTest, ReadsFromADaemonOnAnotherPort) {
  olad_->stop();
  constexpr quint16 kOtherPort = 9011;
  open("ola:1@127.0.0.1:9011");
  EXPECT_EQ(input_->status().source, "OLA universe 1 at 127.0.0.1:9011");
  ASSERT_TRUE(waitForState("no OLA daemon on 127.0.0.1:9011, retrying"))
      << input_->status().state.toStdString();
  startDaemon(kOtherPort);
  ASSERT_TRUE(waitForState(OlaDmxInput::kRunning)) << input_->status().state.toStdString();
  testing::OlaDmxSender sender(1, kOtherPort);
  ASSERT_TRUE(sender.sendLevel(3, 200));
  ASSERT_TRUE(waitForChanges(1));
  EXPECT_EQ(changes_, (Changes{{3, 200}}));
  EXPECT_FALSE(SafeOlad::portInUse(SafeOlad::kRpcPort));
}

}  // namespace
}  // namespace notecast::host
