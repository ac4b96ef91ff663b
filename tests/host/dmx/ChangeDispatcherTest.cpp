#include "host/dmx/ChangeDispatcher.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <optional>
#include <stdexcept>
#include <vector>

#include "host/dmx/PluginCallScope.h"

namespace notecast::host {
namespace {

using Changes = std::vector<ChannelChange>;

// A plug-in stand-in: records what it is given and how deeply calls nest; on channel
// `boxChannel` it runs a nested event loop, as a message box does, for `boxTime`.
class ChangeDispatcherTest : public testing::Test {
 protected:
  HRESULT plugin(int channel, int value) {
    ++depth_;
    maxDepth_ = std::max(maxDepth_, depth_);
    delivered_.push_back({channel, value});
    if (channel == boxChannel_) {
      QEventLoop box;
      QTimer::singleShot(boxTime_, &box, &QEventLoop::quit);
      box.exec();
    }
    --depth_;
    return channel == failingChannel_ ? E_INVALIDARG : S_OK;
  }

  // Calls deliver() from the event loop after `ms`, as DmxInput::changed would.
  void deliverLater(int ms, int channel, int value) {
    QTimer::singleShot(ms, &dispatcher_,
                       [this, channel, value] { dispatcher_.deliver(channel, value); });
  }

  bool waitForDeliveries(std::size_t count) {
    return QTest::qWaitFor([&] { return delivered_.size() >= count; });
  }

  int boxChannel_ = -1;
  int boxTime_ = 100;
  int failingChannel_ = -1;
  int depth_ = 0;
  int maxDepth_ = 0;
  Changes delivered_;
  std::vector<ChangeDispatcher::Failure> failures_;
  ChangeDispatcher dispatcher_{
      [this](int channel, int value) { return plugin(channel, value); },
      [this](const ChangeDispatcher::Failure& failure) { failures_.push_back(failure); }};
};

TEST_F(ChangeDispatcherTest, ChangesDuringAMessageBoxWaitAndFollowInOrder) {
  boxChannel_ = 1;
  // These arrive while the box of channel 1 is open.
  deliverLater(10, 2, 20);
  deliverLater(20, 3, 30);
  deliverLater(30, 1, 11);  // raises another box, after the first has closed
  deliverLater(40, 4, 40);
  dispatcher_.deliver(1, 10);
  // Nothing was delivered inside the first call.
  EXPECT_EQ(delivered_, (Changes{{1, 10}}));
  EXPECT_EQ(dispatcher_.waiting(), 4u);
  ASSERT_TRUE(waitForDeliveries(5));
  EXPECT_EQ(delivered_, (Changes{{1, 10}, {2, 20}, {3, 30}, {1, 11}, {4, 40}}));
  EXPECT_EQ(maxDepth_, 1);
  EXPECT_EQ(dispatcher_.waiting(), 0u);
}

TEST_F(ChangeDispatcherTest, OtherPluginCallsHoldDeliveriesBack) {
  {
    const PluginCallScope scriptCall;
    dispatcher_.deliver(1, 10);
    dispatcher_.deliver(2, 20);
    QTest::qWait(20);  // an event loop inside the call (a box of the script's call)
    EXPECT_TRUE(delivered_.empty());
  }
  // Not delivered from the scope's end itself, but from the event loop afterwards.
  EXPECT_TRUE(delivered_.empty());
  // A change arriving before the drain goes behind the waiting ones.
  dispatcher_.deliver(3, 30);
  ASSERT_TRUE(waitForDeliveries(3));
  EXPECT_EQ(delivered_, (Changes{{1, 10}, {2, 20}, {3, 30}}));
}

TEST_F(ChangeDispatcherTest, DrainWaitsAgainWhenAnotherCallHasBegun) {
  {
    const PluginCallScope first;
    dispatcher_.deliver(1, 10);
  }
  // The drain is queued; a new call starts before it runs, with an event loop of its own.
  std::optional<PluginCallScope> second;
  second.emplace();
  QTest::qWait(30);
  EXPECT_TRUE(delivered_.empty());
  second.reset();
  ASSERT_TRUE(waitForDeliveries(1));
  EXPECT_EQ(delivered_, (Changes{{1, 10}}));
}

TEST_F(ChangeDispatcherTest, DeliversAtOnceAndReportsFailuresWithoutStopping) {
  failingChannel_ = 2;
  dispatcher_.deliver(1, 10);
  dispatcher_.deliver(2, 20);
  dispatcher_.deliver(3, 30);
  EXPECT_EQ(delivered_, (Changes{{1, 10}, {2, 20}, {3, 30}}));  // nothing else ran: at once
  ASSERT_EQ(failures_.size(), 1u);
  EXPECT_EQ(failures_[0].channel, 2);
  EXPECT_EQ(failures_[0].value, 20);
  EXPECT_EQ(failures_[0].result, E_INVALIDARG);
  EXPECT_TRUE(failures_[0].reason.empty());
}

TEST(ChangeDispatcherFailureTest, ExceptionIsAFailureWithItsText) {
  std::vector<ChangeDispatcher::Failure> failures;
  bool inCallDuringHandler = true;
  ChangeDispatcher dispatcher([](int, int) -> HRESULT { throw std::runtime_error("boom"); },
                              [&](const ChangeDispatcher::Failure& failure) {
                                failures.push_back(failure);
                                inCallDuringHandler = PluginCallScope::inProgress();
                              });
  dispatcher.deliver(7, 1);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].result, E_FAIL);
  EXPECT_EQ(failures[0].reason, "boom");
  // The handler may show a box of its own: the plug-in call is over by then.
  EXPECT_FALSE(inCallDuringHandler);
}

}  // namespace
}  // namespace notecast::host
