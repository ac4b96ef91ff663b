// DMX changes reach the plug-in through the session's gate: one delivery at a time, none while
// another plug-in call is in progress, in the order they came, failures reported after the call.

#include "host/ChangeDispatcher.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <optional>
#include <stdexcept>
#include <vector>

#include "tests/host/dmx/FedInput.h"

namespace notecast::host {
namespace {

using Changes = std::vector<ChannelChange>;

// A plug-in stand-in behind the gate: records what it is given and how deeply calls nest; on
// channel `boxChannel_` it runs a nested event loop, as a message box does.
class ChangeDispatcherTest : public testing::Test {
 protected:
  HRESULT plugin(int channel, int value) {
    ++depth_;
    maxDepth_ = std::max(maxDepth_, depth_);
    outsideTheGate_ = outsideTheGate_ || !gate_.busy();
    delivered_.push_back({channel, value});
    if (channel == boxChannel_) {
      QEventLoop box;
      QTimer::singleShot(100, &box, &QEventLoop::quit);
      box.exec();
    }
    --depth_;
    if (channel == throwingChannel_) throw std::runtime_error("boom");
    return channel == failingChannel_ ? E_INVALIDARG : S_OK;
  }

  // A frame of one channel from the event loop after `ms`, as a source reads it.
  void takeLater(int ms, int channel, int value) {
    QTimer::singleShot(ms, &input_, [this, channel, value] { input_.takeChannel(channel, value); });
  }

  bool waitForDeliveries(std::size_t count) {
    return QTest::qWaitFor([&] { return delivered_.size() >= count; });
  }

  int boxChannel_ = -1;
  int failingChannel_ = -1;
  int throwingChannel_ = -1;
  int depth_ = 0;
  int maxDepth_ = 0;
  bool outsideTheGate_ = false;
  Changes delivered_;
  std::vector<ChangeDispatcher::Failure> failures_;
  bool busyInFailureHandler_ = false;
  PluginGate gate_;
  FedInput input_;
  ChangeDispatcher dispatcher_{input_, gate_,
                               [this](int channel, int value) { return plugin(channel, value); },
                               [this](const ChangeDispatcher::Failure& failure) {
                                 failures_.push_back(failure);
                                 busyInFailureHandler_ = busyInFailureHandler_ || gate_.busy();
                               }};
};

TEST_F(ChangeDispatcherTest, ChangesDuringAMessageBoxWaitAndFollowInOrder) {
  boxChannel_ = 1;
  // These come while the box of channel 1 is open.
  takeLater(10, 2, 20);
  takeLater(20, 3, 30);
  takeLater(30, 1, 11);  // raises another box, after the first has closed
  takeLater(40, 4, 40);
  input_.takeChannel(1, 10);
  ASSERT_TRUE(waitForDeliveries(5));
  EXPECT_EQ(delivered_, (Changes{{1, 10}, {2, 20}, {3, 30}, {1, 11}, {4, 40}}));
  EXPECT_EQ(maxDepth_, 1) << "no delivery inside another";
  EXPECT_FALSE(outsideTheGate_) << "the window must see the plug-in busy during a box";
}

TEST_F(ChangeDispatcherTest, OtherPluginCallsHoldDeliveriesBack) {
  {
    const PluginGate::Call scriptCall(gate_);
    input_.takeChannel(1, 10);
    input_.takeChannel(2, 20);
    QTest::qWait(20);  // an event loop inside the call (a box of the script's call)
    EXPECT_TRUE(delivered_.empty());
  }
  EXPECT_TRUE(delivered_.empty()) << "not delivered from the call's end itself";
  input_.takeChannel(3, 30);
  ASSERT_TRUE(waitForDeliveries(3));
  EXPECT_EQ(delivered_, (Changes{{1, 10}, {2, 20}, {3, 30}}));
}

TEST_F(ChangeDispatcherTest, WaitsAgainWhenAnotherCallHasBegunBeforeTheWakeUp) {
  {
    const PluginGate::Call first(gate_);
    input_.takeChannel(1, 10);
  }
  // The wake-up is queued; a new call starts before it runs, with an event loop of its own.
  std::optional<PluginGate::Call> second;
  second.emplace(gate_);
  QTest::qWait(30);
  EXPECT_TRUE(delivered_.empty());
  second.reset();
  ASSERT_TRUE(waitForDeliveries(1));
  EXPECT_EQ(delivered_, (Changes{{1, 10}}));
}

TEST_F(ChangeDispatcherTest, FailuresAreReportedAfterTheCallAndTheNextChangesStillGo) {
  failingChannel_ = 2;
  throwingChannel_ = 3;
  input_.takeFrame({10, 20, 30, 40});
  EXPECT_EQ(delivered_, (Changes{{1, 10}, {2, 20}, {3, 30}, {4, 40}})) << "at once";
  ASSERT_EQ(failures_.size(), 2u);
  EXPECT_EQ(failures_[0].channel, 2);
  EXPECT_EQ(failures_[0].value, 20);
  EXPECT_EQ(failures_[0].result, E_INVALIDARG);
  EXPECT_EQ(failures_[0].reason, "");
  EXPECT_EQ(failures_[1].channel, 3);
  EXPECT_EQ(failures_[1].result, E_FAIL);
  EXPECT_EQ(failures_[1].reason, "boom");
  // The handler may show a box of its own: the plug-in call is over by then.
  EXPECT_FALSE(busyInFailureHandler_);
}

}  // namespace
}  // namespace notecast::host
