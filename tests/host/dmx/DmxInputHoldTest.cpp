// The DMX input and its bounded wait while its owner's gate is busy (a plug-in call in progress,
// a box of the plug-in's open): frames wait, about one second of them as they came and the rest
// folded, and follow in order afterwards. Unheld, nothing waits.

#include <gtest/gtest.h>

#include <QTest>
#include <functional>
#include <vector>

#include "tests/host/dmx/FedInput.h"

namespace notecast::host {
namespace {

using Changes = std::vector<ChannelChange>;

constexpr int kHeld = static_cast<int>(DmxInput::kHeldFramesPerUniverse);

class DmxInputHoldTest : public testing::Test {
 protected:
  DmxInputHoldTest() {
    input_.setDeliveryGate({[this] { return busy_; },
                            [this](QObject* context, std::function<void()> resume) {
                              waiters_.emplace_back(context, std::move(resume));
                            }});
    QObject::connect(&input_, &DmxInput::changed, [this](int channel, int value) {
      deliveredWhileBusy_ = deliveredWhileBusy_ || busy_;
      delivered_.push_back({channel, value});
      if (onChange_) onChange_(channel);
    });
    QObject::connect(&input_, &DmxInput::framesFolded,
                     [this](qint64 frames) { told_.push_back(frames); });
  }

  // The gate comes free: its waiters run from the event loop, as the gate's contract says.
  void freeGate() {
    busy_ = false;
    for (auto& [context, resume] : waiters_)
      QMetaObject::invokeMethod(context, std::move(resume), Qt::QueuedConnection);
    waiters_.clear();
  }

  // Frame n sets channel 1 to n and channel 2 to 255 - n.
  void takeCountingFrame(int n) {
    input_.takeFrame({static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(255 - n)});
  }
  Changes channel(int number) const {
    Changes found;
    for (const ChannelChange& change : delivered_)
      if (change.channel == number) found.push_back(change);
    return found;
  }

  bool busy_ = false;
  bool deliveredWhileBusy_ = false;
  std::vector<std::pair<QObject*, std::function<void()>>> waiters_;
  std::function<void(int channel)> onChange_;
  Changes delivered_;
  std::vector<qint64> told_;
  FedInput input_;
};

TEST_F(DmxInputHoldTest, WhenNothingHoldsItEveryChangeGoesOutAtOnceInChannelOrder) {
  for (int n = 1; n <= 200; ++n) takeCountingFrame(n);
  ASSERT_EQ(delivered_.size(), 400u);
  for (int n = 1; n <= 200; ++n) {
    EXPECT_EQ(delivered_[2 * (n - 1)], (ChannelChange{1, n}));
    EXPECT_EQ(delivered_[2 * (n - 1) + 1], (ChannelChange{2, 255 - n}));
  }
  EXPECT_EQ(input_.status().folded, 0);
  EXPECT_TRUE(told_.empty());
}

TEST_F(DmxInputHoldTest, ABusyGateHoldsFramesBackAndFoldsAllButTheLastSecond) {
  busy_ = true;
  input_.takeFrame({0, 0, 0, 0, 0, 0, 0, 0, 0, 50});  // channel 10 = 50, never set again
  for (int n = 1; n <= 200; ++n) takeCountingFrame(n);
  QTest::qWait(20);  // the box's event loop
  EXPECT_TRUE(delivered_.empty());
  EXPECT_EQ(waiters_.size(), 1u) << "one wake-up asked for, however many frames wait";
  EXPECT_EQ(input_.status().frames, 201);
  EXPECT_EQ(input_.status().folded, 201 - kHeld);

  freeGate();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return !channel(1).empty() && channel(1).back().value == 200; }));
  // The folded frames as one, in channel order; then the last second's frames as they came.
  const int foldedUpTo = 200 - kHeld + 1;
  ASSERT_GE(delivered_.size(), 3u);
  EXPECT_EQ(delivered_[0], (ChannelChange{1, foldedUpTo}));
  EXPECT_EQ(delivered_[1], (ChannelChange{2, 255 - foldedUpTo}));
  EXPECT_EQ(delivered_[2], (ChannelChange{10, 50})) << "a channel set once is not lost";
  const Changes ones = channel(1);
  ASSERT_EQ(ones.size(), static_cast<std::size_t>(kHeld));
  for (int i = 0; i < kHeld; ++i) EXPECT_EQ(ones[i].value, foldedUpTo + i);
  EXPECT_EQ(told_, (std::vector<qint64>{201 - kHeld})) << "told once, when the backlog is out";
  EXPECT_EQ(input_.status().folded, 201 - kHeld);
  EXPECT_EQ(input_.status().changes, static_cast<qint64>(delivered_.size()));
}

// The gate is asked before every change, not only before every frame.
TEST_F(DmxInputHoldTest, AGateThatTurnsBusyInsideAFrameHoldsTheRestOfIt) {
  onChange_ = [this](int channel) { busy_ = busy_ || channel == 1; };
  input_.takeFrame({1, 1, 1});
  input_.takeFrame({2, 2, 2});
  EXPECT_EQ(delivered_, (Changes{{1, 1}}));
  onChange_ = {};
  freeGate();
  ASSERT_TRUE(QTest::qWaitFor([&] { return delivered_.size() >= 6; }));
  EXPECT_EQ(delivered_, (Changes{{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}}));
  EXPECT_FALSE(deliveredWhileBusy_);
}

}  // namespace
}  // namespace notecast::host
