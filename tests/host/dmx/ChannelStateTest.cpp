#include "host/dmx/ChannelState.h"

#include <gtest/gtest.h>

#include <vector>

namespace notecast::host {
namespace {

using Changes = std::vector<ChannelChange>;
using Values = std::vector<std::uint8_t>;

TEST(ChannelStateTest, UniversesFollowEachOtherIn512Channels) {
  EXPECT_EQ(ChannelState::channelOf(1, 512), 512);
  EXPECT_EQ(ChannelState::channelOf(3, 10), 1034);
  ChannelState state;
  EXPECT_EQ(state.applyFrame(2, Values{9}), (Changes{{513, 9}}));
  EXPECT_EQ(state.value(513), 9);
  EXPECT_EQ(state.value(1), 0);
  // The same slot of another universe is another channel.
  EXPECT_EQ(state.applyFrame(1, Values{9}), (Changes{{1, 9}}));
}

TEST(ChannelStateTest, FrameReportsOnlyChangedChannelsInAscendingOrder) {
  ChannelState state;
  // Every channel starts at 0: zeros in the first frame are no change.
  EXPECT_EQ(state.applyFrame(1, Values{0, 255, 0, 7}), (Changes{{2, 255}, {4, 7}}));
  EXPECT_EQ(state.applyFrame(1, Values{0, 255, 0, 7}), Changes{});
  EXPECT_EQ(state.applyFrame(1, Values{5, 255, 1, 0}), (Changes{{1, 5}, {3, 1}, {4, 0}}));
}

TEST(ChannelStateTest, ShortFrameChangesOnlyTheSlotsItHas) {
  ChannelState state;
  state.applyFrame(1, Values{1, 2, 3, 4});
  EXPECT_EQ(state.applyFrame(1, Values{9}), (Changes{{1, 9}}));
  EXPECT_EQ(state.value(4), 4);
  EXPECT_EQ(state.applyFrame(1, Values{}), Changes{});
  // Slots past 512 belong to no channel of this universe.
  Values tooLong(513, 0);
  tooLong[512] = 200;
  EXPECT_EQ(state.applyFrame(1, tooLong), (Changes{{1, 0}, {2, 0}, {3, 0}, {4, 0}}));
  EXPECT_EQ(state.value(513), 0);
}

TEST(ChannelStateTest, SingleChannelValuesShareTheFrameState) {
  ChannelState state;
  state.applyFrame(2, Values{3});
  EXPECT_EQ(state.applyChannel(513, 3), std::nullopt);
  EXPECT_EQ(state.applyChannel(513, 4), (ChannelChange{513, 4}));
  EXPECT_EQ(state.applyFrame(2, Values{4}), Changes{});
  EXPECT_EQ(state.applyChannel(ChannelState::kMaxChannel, 1),
            (ChannelChange{ChannelState::kMaxChannel, 1}));
  EXPECT_EQ(state.applyChannel(0, 1), std::nullopt);
  EXPECT_EQ(state.applyChannel(1, 256), std::nullopt);
  EXPECT_EQ(state.applyFrame(0, Values{1}), Changes{});
}

TEST(ChannelStateTest, UniversesPastTheBoundAreRefusedAndTheFirstOneKept) {
  ChannelState state;
  for (unsigned universe = 1; universe <= ChannelState::kMaxUniverses; ++universe) {
    ASSERT_TRUE(state.applyChannel(ChannelState::channelOf(universe, 1), 1));
  }
  EXPECT_EQ(state.refusedUniverse(), 0u);
  const int past = ChannelState::channelOf(ChannelState::kMaxUniverse, 7);
  EXPECT_EQ(state.applyChannel(past, 5), std::nullopt);
  EXPECT_EQ(state.value(past), 0);
  EXPECT_EQ(state.applyFrame(5000, Values{1, 2}), Changes{});
  EXPECT_EQ(state.refusedUniverse(), ChannelState::kMaxUniverse);
  EXPECT_EQ(state.refusedValues(), 3);
  // The universes it holds go on as before.
  EXPECT_EQ(state.applyChannel(2, 9), (ChannelChange{2, 9}));
}

// A folded frame carries the values of several universes, and a caller's buffer is reused.
TEST(ChannelStateTest, ValuesOfSeveralUniversesChangeEachItsOwnChannelsInOrder) {
  ChannelState state;
  Changes changes{{99, 99}};
  state.applyValues({{1, 5}, {512, 6}, {513, 7}, {1025, 8}, {1026, 0}}, changes);
  EXPECT_EQ(changes, (Changes{{1, 5}, {512, 6}, {513, 7}, {1025, 8}}))
      << "the buffer's old content is gone; an unchanged 0 is no change";
  state.applyValues({{1, 5}, {513, 9}, {1025, 8}}, changes);
  EXPECT_EQ(changes, (Changes{{513, 9}}));
  EXPECT_EQ(state.value(512), 6);
  EXPECT_EQ(state.value(1025), 8);
}

}  // namespace
}  // namespace notecast::host
