// The rule that turns the three byte properties into a MIDI short message.

#include <gtest/gtest.h>

#include "midi/MidiWire.h"

namespace notecast {
namespace {

using Bytes = std::vector<unsigned char>;

TEST(MidiWireTest, ChannelMessagesTakeTheirOwnNumberOfDataBytes) {
  EXPECT_EQ(MidiWire::shortMessage(0x90, 64, 64), (Bytes{0x90, 64, 64}));  // note on
  EXPECT_EQ(MidiWire::shortMessage(0x8F, 1, 2), (Bytes{0x8F, 1, 2}));      // note off
  EXPECT_EQ(MidiWire::shortMessage(0xA0, 1, 2), (Bytes{0xA0, 1, 2}));      // key pressure
  EXPECT_EQ(MidiWire::shortMessage(0xB5, 7, 100), (Bytes{0xB5, 7, 100}));  // control change
  EXPECT_EQ(MidiWire::shortMessage(0xE0, 0, 64), (Bytes{0xE0, 0, 64}));    // pitch bend
  EXPECT_EQ(MidiWire::shortMessage(0xC3, 5, 99), (Bytes{0xC3, 5}));        // program change
  EXPECT_EQ(MidiWire::shortMessage(0xDF, 40, 99), (Bytes{0xDF, 40}));      // channel pressure
}

TEST(MidiWireTest, SystemMessagesTakeTheirOwnLength) {
  EXPECT_EQ(MidiWire::shortMessage(0xF1, 3, 9), (Bytes{0xF1, 3}));
  EXPECT_EQ(MidiWire::shortMessage(0xF2, 3, 9), (Bytes{0xF2, 3, 9}));
  EXPECT_EQ(MidiWire::shortMessage(0xF3, 3, 9), (Bytes{0xF3, 3}));
  for (int status : {0xF6, 0xF8, 0xFA, 0xFB, 0xFC, 0xFE, 0xFF})
    EXPECT_EQ(MidiWire::shortMessage(status, 3, 9), (Bytes{static_cast<unsigned char>(status)}))
        << status;
}

TEST(MidiWireTest, DataBytesAreClampedToSevenBits) {
  EXPECT_EQ(MidiWire::shortMessage(0x90, 128, 200), (Bytes{0x90, 127, 127}));
  EXPECT_EQ(MidiWire::shortMessage(0x90, -1, -70000), (Bytes{0x90, 0, 0}));
  EXPECT_EQ(MidiWire::shortMessage(0x90, 0, 127), (Bytes{0x90, 0, 127}));
}

TEST(MidiWireTest, StatusThatStartsNoShortMessageGivesNothing) {
  for (int status : {-1, 0, 0x40, 0x7F, 0x100, 0x190, 0xF0, 0xF7, 0xF4, 0xF5, 0xF9, 0xFD})
    EXPECT_TRUE(MidiWire::shortMessage(status, 1, 2).empty()) << status;
}

}  // namespace
}  // namespace notecast
