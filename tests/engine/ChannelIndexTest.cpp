// The index from channel to records: table order, and exact after every kind of change.

#include <gtest/gtest.h>

#include "engine/ChannelIndex.h"

namespace notecast {
namespace {

using Rows = std::vector<std::int32_t>;

MidiEvent on(std::int32_t channel) {
  MidiEvent event;
  event.DMXChannel = channel;
  return event;
}

TEST(ChannelIndexTest, RecordsOfAChannelComeInTableOrder) {
  EventTable table;
  table.assign({on(5), on(1), on(5), on(2), on(5)});
  ChannelIndex index;
  EXPECT_EQ(index.recordsOn(table, 5), (Rows{0, 2, 4}));
  EXPECT_EQ(index.recordsOn(table, 1), (Rows{1}));
  EXPECT_EQ(index.recordsOn(table, 9), Rows{});
}

TEST(ChannelIndexTest, FollowsEveryChangeOfTheTable) {
  EventTable table;
  table.assign({on(5), on(1), on(5)});
  ChannelIndex index;
  EXPECT_EQ(index.recordsOn(table, 5), (Rows{0, 2}));
  table.setField(1, MidiEventField::DMXChannel, 5);
  EXPECT_EQ(index.recordsOn(table, 5), (Rows{0, 1, 2}));
  table.remove(0);
  EXPECT_EQ(index.recordsOn(table, 5), (Rows{0, 1}));
  table.append(on(5));
  EXPECT_EQ(index.recordsOn(table, 5), (Rows{0, 1, 2}));
  table.reset();
  EXPECT_EQ(index.recordsOn(table, 5), Rows{});
  EXPECT_EQ(index.recordsOn(table, 0), (Rows{0}));
  table.assign({on(7), on(7)});
  EXPECT_EQ(index.recordsOn(table, 7), (Rows{0, 1}));
}

}  // namespace
}  // namespace notecast
