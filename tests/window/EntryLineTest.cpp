// The entry line: the one-line summary every row of the entry list shows.

#include <gtest/gtest.h>

#include "window/EntryLine.h"

namespace notecast {
namespace {

TEST(EntryLineTest, AllFieldsInOrderWithHexStatus) {
  MidiEvent event;
  event.DMXChannel = 12;
  event.Typ = 3;
  event.MIDIMessage = 176;
  event.Data1 = 7;
  event.Value = 127;
  event.SendNoteOff = 1;
  event.Share = 1;
  event.ShareName = "fade";
  EXPECT_EQ(entryLine(event),
            "Chan: 12, Typ: 3, MSG: B0, Data1: 7, Data2: 0, Value: 127, NoteOff: Yes, Once: No, "
            "Share: Yes, Name: fade");
}

TEST(EntryLineTest, NewAndBlankEntriesEndWithTheBlankAfterName) {
  EXPECT_EQ(entryLine(MidiEvent::added()),
            "Chan: 0, Typ: 0, MSG: 90, Data1: 0, Data2: 0, Value: 127, NoteOff: No, Once: No, "
            "Share: No, Name: ");
  EXPECT_EQ(entryLine(MidiEvent::blank()),
            "Chan: 0, Typ: 0, MSG: 0, Data1: 0, Data2: 0, Value: 0, NoteOff: No, Once: No, "
            "Share: No, Name: ");
}

TEST(EntryLineTest, FlagsOtherThanOneReadNoAndNegativesKeepTheirSign) {
  MidiEvent event;
  event.SendNoteOff = -1;
  event.SendOnlyOnce = 2;
  event.Share = -1;
  event.MIDIMessage = -1;
  event.DMXChannel = -5;
  event.ShareName = "a, b";
  EXPECT_EQ(entryLine(event),
            "Chan: -5, Typ: 0, MSG: FFFFFFFF, Data1: 0, Data2: 0, Value: 0, NoteOff: No, "
            "Once: No, Share: No, Name: a, b");
}

}  // namespace
}  // namespace notecast
