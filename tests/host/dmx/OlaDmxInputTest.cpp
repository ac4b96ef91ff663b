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
#include <memory>
#include <string>
#include <vector>

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

  void startDaemon() {
    std::string error;
    olad_ = SafeOlad::start(&error);
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

TEST_F(OlaDmxInputTest, ManyFramesAreNeitherDroppedNorMerged) {
  open("ola:1");
  ASSERT_TRUE(waitForState(OlaDmxInput::kRunning));
  FrameSender sender;
  ASSERT_TRUE(sender.connect());
  constexpr int kFrames = 300;
  for (int frame = 1; frame <= kFrames; ++frame) {
    sender.send(1,
                {static_cast<std::uint8_t>(frame % 256), static_cast<std::uint8_t>(frame / 256)});
  }
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        sender.flush();
        return input_->status().frames >= kFrames;
      },
      kDeliveryTimeoutMs));
  Changes channel1;
  for (const ChannelChange& change : changes_) {
    if (change.channel == 1) channel1.push_back(change);
  }
  ASSERT_EQ(channel1.size(), static_cast<std::size_t>(kFrames));
  for (int frame = 1; frame <= kFrames; ++frame) {
    EXPECT_EQ(channel1[frame - 1].value, frame % 256) << "frame " << frame;
  }
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

}  // namespace
}  // namespace notecast::host
