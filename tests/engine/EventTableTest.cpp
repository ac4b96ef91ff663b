// The event table's states, its three reads and its changes.

#include <gtest/gtest.h>

#include "abi/RuntimeError.h"
#include "engine/EventTable.h"
#include "engine/MessageKind.h"
#include "tests/support/EventBuilder.h"

namespace notecast {
namespace {

using testing::sharedEvent;

std::int32_t errorNumberOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return 0;
}

TEST(EventTableTest, NeverDimensionedTableIsEmptyAndHasNoHighestIndex) {
  EventTable table;
  EXPECT_TRUE(table.IsArrayEmpty());
  EXPECT_EQ(errorNumberOf([&] { table.GetEventCount(); }), 9);
  EXPECT_EQ(errorNumberOf([&] { table.GetShareName(0); }), 9);
}

TEST(EventTableTest, HighestIndexIsCountMinusOne) {
  EventTable table;
  table.assign({MidiEvent::added()});
  EXPECT_FALSE(table.IsArrayEmpty());
  EXPECT_EQ(table.GetEventCount(), 0);
  table.append(MidiEvent::added());
  table.append(MidiEvent::added());
  EXPECT_EQ(table.GetEventCount(), 2);
}

TEST(EventTableTest, ShareNameOnlyForSharedRecordsAnyNonZeroShareCounts) {
  EventTable table;
  table.assign({sharedEvent(1, ""), sharedEvent(0, "Fog"), sharedEvent(2, "Hand edited"),
                sharedEvent(-1, "Minus")});
  EXPECT_EQ(table.GetShareName(0).asString(), "");
  EXPECT_EQ(table.GetShareName(1).asString(), "");
  EXPECT_EQ(table.GetShareName(2).asString(), "Hand edited");
  EXPECT_EQ(table.GetShareName(3).asString(), "Minus");
  EXPECT_EQ(errorNumberOf([&] { table.GetShareName(4); }), 9);
  EXPECT_EQ(errorNumberOf([&] { table.GetShareName(-1); }), 9);
}

TEST(EventTableTest, OnceDimensionedTheTableNeverBecomesEmpty) {
  EventTable table;
  table.assign({});
  EXPECT_EQ(table.GetEventCount(), 0);
  EXPECT_EQ(table.record(0), MidiEvent::blank());

  table.assign({MidiEvent::added()});
  table.remove(0);
  EXPECT_FALSE(table.IsArrayEmpty());
  EXPECT_EQ(table.GetEventCount(), 0);
  EXPECT_EQ(table.record(0), MidiEvent::blank()) << "deleting the only record leaves the blank one";
}

TEST(EventTableTest, ResetLeavesOneBlankRecordWithClearedFlags) {
  EventTable table;
  table.assign({MidiEvent::added(), MidiEvent::added()});
  table.setOnceAbove(0, true);
  table.setOnceBelow(0, true);
  table.reset();
  EXPECT_EQ(table.size(), 1);
  EXPECT_EQ(table.record(0), MidiEvent::blank());
  EXPECT_FALSE(table.onceAbove(0));
  EXPECT_FALSE(table.onceBelow(0));
}

TEST(EventTableTest, RemovingARecordTakesItsOwnOnceFlagsWithIt) {
  EventTable table;
  MidiEvent a = MidiEvent::added(), b = MidiEvent::added(), c = MidiEvent::added();
  a.DMXChannel = 1;
  b.DMXChannel = 2;
  c.DMXChannel = 3;
  table.assign({a, b, c});
  table.setOnceAbove(2, true);
  table.setOnceBelow(0, true);
  table.remove(1);
  EXPECT_EQ(table.record(0).DMXChannel, 1);
  EXPECT_EQ(table.record(1).DMXChannel, 3);
  EXPECT_TRUE(table.onceBelow(0));
  EXPECT_TRUE(table.onceAbove(1)) << "record 3's flag moved up with it";
  EXPECT_FALSE(table.onceBelow(1));
}

TEST(EventTableTest, AppendedRecordsGetClearedFlagsAndLoadClearsAll) {
  EventTable table;
  table.assign({MidiEvent::added()});
  table.setOnceAbove(0, true);
  ASSERT_TRUE(table.append(MidiEvent::added()));
  EXPECT_FALSE(table.onceAbove(1));
  EXPECT_TRUE(table.onceAbove(0));
  table.assign({MidiEvent::added(), MidiEvent::added()});
  EXPECT_FALSE(table.onceAbove(0));
}

TEST(EventTableTest, TableIsCappedAt32767Records) {
  EventTable table;
  table.assign(std::vector<MidiEvent>(EventTable::kMaxRecords, MidiEvent::added()));
  EXPECT_EQ(table.GetEventCount(), 32766);
  EXPECT_FALSE(table.append(MidiEvent::added()));
  EXPECT_EQ(table.size(), EventTable::kMaxRecords);
}

TEST(EventTableTest, EveryConfigurationChangeCountsButOnceFlagsDoNot) {
  EventTable table;
  auto changes = table.changeCount();
  table.assign({MidiEvent::added()});
  EXPECT_GT(table.changeCount(), changes);

  changes = table.changeCount();
  table.setField(0, MidiEventField::DMXChannel, 5);
  EXPECT_EQ(table.record(0).DMXChannel, 5);
  EXPECT_GT(table.changeCount(), changes);

  changes = table.changeCount();
  table.setShareName(0, "Strobe");
  table.append(MidiEvent::added());
  table.remove(1);
  table.reset();
  EXPECT_GE(table.changeCount(), changes + 4);

  changes = table.changeCount();
  table.setOnceAbove(0, true);
  EXPECT_EQ(table.changeCount(), changes);
  EXPECT_EQ(errorNumberOf([&] { table.setField(1, MidiEventField::Value, 1); }), 9);
}

TEST(MessageKindTest, StatusValuesShowAsKindAndChannel) {
  EXPECT_EQ(messageKindRow(0x95), 1);  // Note On, channel nibble 5 (shown as 6)
  EXPECT_EQ(midiChannelOf(0x95), 5);
  EXPECT_EQ(messageKindRow(100), kCustomMessageRow);
  EXPECT_EQ(midiChannelOf(100), 4);
  EXPECT_EQ(messageKindRow(0xEF), 6);
  EXPECT_EQ(messageKindRow(0xF0), -1);
  EXPECT_EQ(midiChannelOf(-17), -1) << "the remainder keeps the sign of the status value";
  EXPECT_EQ(noteOffStatusFor(147), 131);
}

}  // namespace
}  // namespace notecast
