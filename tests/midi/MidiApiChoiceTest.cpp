// Which MIDI system NOTECAST_MIDI_API and the machine choose.

#include <gtest/gtest.h>

#include "midi/MidiApiChoice.h"

namespace notecast {
namespace {

TEST(MidiApiChoiceTest, WithoutSettingAlsaIsUsedWhereItsSequencerIs) {
  for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
    EXPECT_EQ(MidiApiChoice::choose(unset, true).system(), MidiSystem::kAlsa);
    EXPECT_EQ(MidiApiChoice::choose(unset, false).system(), MidiSystem::kJack);
    EXPECT_EQ(MidiApiChoice::choose(unset, false).notice(), "");
  }
}

TEST(MidiApiChoiceTest, SettingChoosesWhateverTheMachine) {
  EXPECT_EQ(MidiApiChoice::choose("alsa", false).system(), MidiSystem::kAlsa);
  EXPECT_EQ(MidiApiChoice::choose("JACK", true).system(), MidiSystem::kJack);
  EXPECT_EQ(MidiApiChoice::choose("Jack", true).notice(), "");
}

TEST(MidiApiChoiceTest, UnknownSettingFallsBackToTheDefaultWithANotice) {
  const MidiApiChoice choice = MidiApiChoice::choose("pipewire", false);
  EXPECT_EQ(choice.system(), MidiSystem::kJack);
  EXPECT_NE(choice.notice().find("pipewire"), std::string::npos);
  EXPECT_NE(choice.notice().find("JACK"), std::string::npos);
  EXPECT_EQ(MidiApiChoice::choose("pipewire", true).system(), MidiSystem::kAlsa);
}

}  // namespace
}  // namespace notecast
