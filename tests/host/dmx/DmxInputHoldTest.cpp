// The DMX input and its bounded wait (FrameQueue) while a plug-in call holds the receiver up (a
// message box of the plug-in's during a host call): frames wait, about one second of them as
// they came and the rest folded, and follow in order afterwards. Unheld, nothing waits.

#include <gtest/gtest.h>

#include <QTest>
#include <vector>

#include "host/dmx/ChangeDispatcher.h"
#include "host/dmx/DmxInput.h"
#include "host/dmx/PluginCallScope.h"

namespace notecast::host {
namespace {

using Changes = std::vector<ChannelChange>;

// An input fed by the test, one universe.
class FedInput : public DmxInput {
 public:
  FedInput() : DmxInput(QStringLiteral("test frames"), 1) {}
  void start() override {}
  using DmxInput::takeFrame;

 private:
  void stopSource() override {}
};

constexpr int kHeld = static_cast<int>(DmxInput::kHeldFramesPerUniverse);

class DmxInputHoldTest : public testing::Test {
 protected:
  DmxInputHoldTest() {
    QObject::connect(&input_, &DmxInput::changed, &dispatcher_, &ChangeDispatcher::deliver);
    QObject::connect(&input_, &DmxInput::framesFolded,
                     [this](qint64 frames) { told_.push_back(frames); });
  }

  // Frame n sets channel 1 to n and channel 2 to 255 - n.
  void takeCountingFrame(int n) {
    const std::vector<std::uint8_t> values{static_cast<std::uint8_t>(n),
                                           static_cast<std::uint8_t>(255 - n)};
    input_.takeFrame(1, values);
  }
  Changes channel(int number) const {
    Changes found;
    for (const ChannelChange& change : delivered_)
      if (change.channel == number) found.push_back(change);
    return found;
  }

  Changes delivered_;
  std::vector<qint64> told_;
  FedInput input_;
  ChangeDispatcher dispatcher_{[this](int channel, int value) {
                                 delivered_.push_back({channel, value});
                                 return S_OK;
                               },
                               [](const ChangeDispatcher::Failure&) {}};
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

TEST_F(DmxInputHoldTest, APluginCallHoldsFramesBackAndFoldsAllButTheLastSecond) {
  {
    const PluginCallScope boxOpen;
    const std::vector<std::uint8_t> early{0, 0, 0, 0, 0, 0, 0, 0, 0, 50};
    input_.takeFrame(1, early);  // channel 10 = 50, and nothing after sets it again
    for (int n = 1; n <= 200; ++n) takeCountingFrame(n);
    QTest::qWait(20);  // the box's event loop
    EXPECT_TRUE(delivered_.empty());
    EXPECT_EQ(dispatcher_.waiting(), 0u) << "the input holds the frames, not the dispatcher";
    EXPECT_EQ(input_.status().frames, 201);
    EXPECT_EQ(input_.status().folded, 201 - kHeld);
  }
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

}  // namespace
}  // namespace notecast::host
