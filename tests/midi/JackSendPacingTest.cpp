// The pacing of messages into RtMidi's JACK ring, on a cycle clock of the test's own.

#include "midi/JackSendPacing.h"

#include <gtest/gtest.h>

namespace notecast {
namespace {

using namespace std::chrono_literals;

constexpr std::size_t kMessage = 3;
constexpr std::size_t kPerRing = JackSendPacing::kBudgetBytes / (kMessage + 4);

class JackSendPacingTest : public ::testing::Test {
 protected:
  // Each sleep is a moment of the clock; the cycle moves on every `momentsPerCycle` moments
  // (never when 0).
  JackSendPacing pacing{[this] { return cycle; },
                        [this](std::chrono::microseconds moment) {
                          ++moments;
                          now += moment;
                          if (momentsPerCycle > 0 && moments % momentsPerCycle == 0) ++cycle;
                        },
                        [this] { return now; }};
  std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
  std::uint64_t cycle = 7;
  int moments = 0;
  int momentsPerCycle = 10;

  // Sends `count` messages; how many went without waiting.
  std::size_t sendWithoutWaiting(std::size_t count) {
    std::size_t direct = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const int before = moments;
      EXPECT_TRUE(pacing.makeRoom(kMessage, 250ms));
      if (moments == before) ++direct;
    }
    return direct;
  }
};

TEST_F(JackSendPacingTest, AFrameThatFitsTheRingGoesOutWithoutWaiting) {
  EXPECT_EQ(sendWithoutWaiting(2048), 2048u) << "2048 changes a frame, some 14 KiB";
  cycle += 4;  // the next frame, cycles later: the ring is empty again
  EXPECT_EQ(sendWithoutWaiting(2048), 2048u);
}

// What a burst wrote is counted in the cycle it was written in, however long the quiet before.
TEST_F(JackSendPacingTest, ABurstAfterAQuietSpellIsCountedInItsOwnCycle) {
  EXPECT_EQ(sendWithoutWaiting(2048), 2048u);
  now += 20ms;
  cycle += 4;
  EXPECT_EQ(sendWithoutWaiting(2048), 2048u) << "the first frame left long ago";
  EXPECT_LT(sendWithoutWaiting(500), 500u) << "the second frame is still in the ring";
}

TEST_F(JackSendPacingTest, AFloodWaitsForTheCyclesToEmptyTheRing) {
  EXPECT_EQ(sendWithoutWaiting(kPerRing), kPerRing);
  const std::uint64_t first = cycle;
  EXPECT_EQ(sendWithoutWaiting(1), 0u) << "the ring is full: wait";
  EXPECT_GT(cycle, first);
  // Never more in the ring than the current and the previous cycle wrote.
  std::size_t inCycle = 0, inPrevious = 0;
  std::uint64_t seen = cycle;
  for (int i = 0; i < 20000; ++i) {
    ASSERT_TRUE(pacing.makeRoom(kMessage, 250ms));
    if (cycle != seen) {
      inPrevious = cycle == seen + 1 ? inCycle : 0;
      inCycle = 0;
      seen = cycle;
    }
    ++inCycle;
    ASSERT_LE((inCycle + inPrevious) * (kMessage + 4), JackSendPacing::kBudgetBytes);
  }
}

// A server that stopped running its cycles is waited for once; after that every message that
// does not fit is refused without waiting, until a cycle runs.
TEST_F(JackSendPacingTest, AStalledServerIsWaitedForOnceThenRefusedAtOnceUntilItRuns) {
  EXPECT_EQ(sendWithoutWaiting(kPerRing), kPerRing);
  momentsPerCycle = 0;
  EXPECT_FALSE(pacing.makeRoom(kMessage, 5ms));
  EXPECT_EQ(moments, 50) << "5 ms of 100 us looks";
  EXPECT_TRUE(pacing.stalled());
  for (int i = 0; i < 1000; ++i) ASSERT_FALSE(pacing.makeRoom(kMessage, 5ms));
  EXPECT_EQ(moments, 50) << "no wait while stalled";
  EXPECT_TRUE(pacing.lookAgain()) << "still no cycle";
  ++cycle;
  EXPECT_FALSE(pacing.lookAgain()) << "a cycle ran: the stall is over";
  momentsPerCycle = 1;
  EXPECT_TRUE(pacing.makeRoom(kMessage, 5ms)) << "JACK runs again";
}

// A server started again counts its cycles from 0 again, as a wrapped frame counter does: the
// pacing follows the new clock at once instead of waiting for it to pass the old one.
TEST_F(JackSendPacingTest, ANewCycleClockIsFollowedAtOnce) {
  for (const std::uint64_t before : {std::uint64_t{5000}, std::uint64_t{1'000'000'000}}) {
    cycle = before;
    EXPECT_EQ(sendWithoutWaiting(kPerRing), kPerRing);
    cycle = 3;
    for (std::size_t i = 0; i < 10 * kPerRing; ++i)
      ASSERT_TRUE(pacing.makeRoom(kMessage, 250ms)) << "message " << i << " after " << before;
  }
}

}  // namespace
}  // namespace notecast
