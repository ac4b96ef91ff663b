// The event file on its own: what a load makes of odd files, what a save writes, and what the
// comparison calls a change.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>
#include <tuple>

#include "abi/RuntimeError.h"
#include "os/FileSaveError.h"
#include "persistence/EventFile.h"
#include "persistence/WindowPosition.h"
#include "persistence/profile/ProfileDocument.h"
#include "tests/support/TempDir.h"

namespace notecast {
namespace {

using testing::readBytes;
using testing::writeBytes;

std::int32_t errorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return 0;
}

class EventFileTest : public ::testing::Test {
 protected:
  EventFile::Contents loadFrom(const std::string& text) {
    writeBytes(path_, text);
    return file_.load();
  }
  EventTable tableOf(std::vector<MidiEvent> records) {
    EventTable table;
    table.assign(std::move(records));
    return table;
  }

  testing::TempDir dir_;
  std::string path_ = dir_.file("show.Notecast");
  EventFile file_{path_};
};

TEST_F(EventFileTest, NoFileLoadsOneEntryWithTheReadDefaults) {
  const auto contents = file_.load();
  EXPECT_EQ(contents.deviceName, "");
  ASSERT_EQ(contents.records.size(), 1u);
  EXPECT_EQ(contents.records[0], MidiEvent::added());
  EXPECT_FALSE(file_.isModified("", tableOf(contents.records)));
}

TEST_F(EventFileTest, CountIsTheHighestIndexAndOddCountsLoadOneEntry) {
  auto contents = loadFrom("[General]\r\nCount=1\r\n[Entry_0]\r\nDMXChannel=5\r\n");
  ASSERT_EQ(contents.records.size(), 2u);
  EXPECT_EQ(contents.records[0].DMXChannel, 5);
  EXPECT_EQ(contents.records[1], MidiEvent::added());

  contents = loadFrom("[General]\r\nCount=-4\r\n");
  EXPECT_EQ(contents.records.size(), 1u);
  EXPECT_TRUE(file_.isModified("", tableOf(contents.records))) << "-4 is not the highest index 0";

  contents = loadFrom("[General]\r\nCount=many\r\n");
  EXPECT_EQ(contents.records.size(), 1u);
  EXPECT_EQ(errorOf([&] { file_.isModified("", tableOf(contents.records)); }), 13);
}

TEST_F(EventFileTest, AHugeCountLoadsNoMoreThanTheTableHolds) {
  const auto contents = loadFrom("[General]\r\nCount=2000000000\r\n");
  EXPECT_EQ(contents.records.size(), static_cast<std::size_t>(EventTable::kMaxRecords));
}

TEST_F(EventFileTest, SectionsAboveCountAreIgnoredByLoadAndComparison) {
  const auto contents =
      loadFrom("[General]\r\nCount=0\r\n[Entry_0]\r\nTyp=2\r\n[Entry_1]\r\nTyp=oops\r\n");
  ASSERT_EQ(contents.records.size(), 1u);
  EXPECT_EQ(contents.records[0].Typ, 2);
  EXPECT_FALSE(file_.isModified("", tableOf(contents.records)));
}

TEST_F(EventFileTest, UnconvertibleNumbersLoadZeroAndFailTheComparison) {
  const auto contents = loadFrom(
      "[General]\r\nCount=0\r\n[Entry_0]\r\nMIDIMessage=note\r\nData1=99999999999\r\nValue=\r\n");
  EXPECT_EQ(contents.records[0].MIDIMessage, 0);
  EXPECT_EQ(contents.records[0].Data1, 0);
  EXPECT_EQ(contents.records[0].Value, 0) << "a present empty value is no number: 0, not 127";
  EXPECT_EQ(errorOf([&] { file_.isModified("", tableOf(contents.records)); }), 13);
}

TEST_F(EventFileTest, NumbersCompareAsNumbersAndDevicesIgnoringCase) {
  const auto contents = loadFrom(
      "[General]\r\nMIDIOutputDevice=  Synth A \r\nCount=0\r\n[Entry_0]\r\nMIDIMessage=0144\r\n");
  EXPECT_EQ(contents.deviceName, "Synth A");
  EXPECT_EQ(contents.records[0].MIDIMessage, 144);
  EXPECT_FALSE(file_.isModified(" synth a", tableOf(contents.records)));
  EXPECT_TRUE(file_.isModified("Synth B", tableOf(contents.records)));
}

TEST_F(EventFileTest, ASaveWritesEveryKeyInOrderAndComparesUnchanged) {
  MidiEvent event = MidiEvent::added();
  event.DMXChannel = -3;
  event.SendNoteOff = 2;
  const EventTable table = tableOf({event, MidiEvent::blank()});
  file_.save(" Synth ", table);
  EXPECT_EQ(readBytes(path_),
            "[General]\r\nWARNING=DO NOT EDIT UNLESS YOU KNOW WHAT YOU ARE DOING!\r\n"
            "MIDIOutputDevice=Synth\r\nCount=1\r\n"
            "[Entry_0]\r\nDMXChannel=-3\r\nData1=0\r\nData2=0\r\nMIDIMessage=144\r\nValue=127\r\n"
            "SendNoteOff=2\r\nSendOnlyOnce=0\r\nShare=0\r\nShareName=\r\nTyp=0\r\n"
            "[Entry_1]\r\nDMXChannel=0\r\nData1=0\r\nData2=0\r\nMIDIMessage=0\r\nValue=0\r\n"
            "SendNoteOff=0\r\nSendOnlyOnce=0\r\nShare=0\r\nShareName=\r\nTyp=0\r\n");
  EXPECT_FALSE(file_.isModified("Synth", table));
  EXPECT_EQ(file_.load().records[0], event);
}

TEST_F(EventFileTest, ASaveReplacesEverythingAndShareNamesKeepTheirLetters) {
  writeBytes(path_, "[General]\r\nLeft=600\r\nExtra=1\r\n[Entry_7]\r\nTyp=1\r\n");
  MidiEvent named = MidiEvent::added();
  named.ShareName = "Fog, strobe & Café";
  file_.save("", tableOf({named}));
  const std::string saved = readBytes(path_);
  EXPECT_EQ(saved.find("Left="), std::string::npos);
  EXPECT_EQ(saved.find("Entry_7"), std::string::npos);
  EXPECT_NE(saved.find("ShareName=Fog, strobe & Caf\xE9\r\n"), std::string::npos)
      << "Windows-1252 on disk";
  EXPECT_EQ(file_.load().records[0].ShareName, "Fog, strobe & Café");
}

TEST_F(EventFileTest, BlanksAroundAShareNameAreLostSoTheComparisonSeesAChange) {
  MidiEvent named = MidiEvent::added();
  named.ShareName = " padded ";
  const EventTable table = tableOf({named});
  file_.save("", table);
  EXPECT_TRUE(file_.isModified("", table));
  EXPECT_EQ(file_.load().records[0].ShareName, "padded");
}

TEST_F(EventFileTest, AByteOrderMarkHidesNoSectionAndASaveWritesOneGeneralWithoutIt) {
  const auto contents = loadFrom(
      "\xEF\xBB\xBF[General]\r\nMIDIOutputDevice=Synth\r\nCount=1\r\n[Entry_1]\r\nData1=7\r\n");
  EXPECT_EQ(contents.deviceName, "Synth");
  ASSERT_EQ(contents.records.size(), 2u);
  EXPECT_EQ(contents.records[1].Data1, 7);
  const EventTable table = tableOf(contents.records);
  EXPECT_FALSE(file_.isModified("Synth", table));
  EXPECT_TRUE(file_.isModified("Other", table)) << "the stored device is compared";

  file_.save("Synth", table);
  const std::string saved = readBytes(path_);
  EXPECT_EQ(saved.substr(0, 11), "[General]\r\n");
  EXPECT_EQ(saved.find("[General]", 1), std::string::npos);
}

// Output names come from the MIDI system, which may use any character: what Windows-1252 lacks is
// kept as UTF-8, and only in that key.
TEST_F(EventFileTest, ADeviceNameTheCodePageCannotHoldIsStoredWholeAndFoundAgain) {
  const std::string device = "Caf\u00E9 \u266A \u65E5\u672C:in";  // Café ♪ 日本:in
  MidiEvent named = MidiEvent::added();
  named.ShareName = "Caf\u00E9 \u266A";
  const EventTable table = tableOf({named});
  file_.save(device, table);
  const std::string saved = readBytes(path_);
  EXPECT_NE(saved.find("MIDIOutputDevice=" + device + "\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("ShareName=Caf\xE9 ?\r\n"), std::string::npos) << saved;
  const auto contents = file_.load();
  EXPECT_EQ(contents.deviceName, device);
  EXPECT_FALSE(file_.isModified(device, tableOf(contents.records)));
  EXPECT_TRUE(file_.isModified("Caf\u00E9 ?? ??:in", tableOf(contents.records)));

  // A name the code page holds stays in it, as Windows reads it.
  file_.save("Caf\u00E9 \u00BD", table);
  EXPECT_NE(readBytes(path_).find("MIDIOutputDevice=Caf\xE9 \xBD\r\n"), std::string::npos);
  EXPECT_EQ(file_.load().deviceName, "Caf\u00E9 \u00BD");
}

// Where a save would lose events or write into a file that holds none, it is refused with the
// reason, and the file stays as it was. The window's position is not stored in a file that is no
// event file or was never loaded either; it keeps the entries of one that holds too many.
TEST_F(EventFileTest, ASaveThatWouldLoseEventsOrHitAnotherFileIsRefused) {
  std::string overFull = "[General]\r\nCount=32768\r\n";
  for (int n = 0; n <= 32768; ++n) overFull += "[Entry_" + std::to_string(n) + "]\r\n";
  const std::string notes = dir_.file("notes.txt");
  const std::string link = "it is a symbolic link to " + notes + ", which is no event file (";
  for (const auto& [content, linked, reason] :
       std::vector<std::tuple<std::string, bool, std::string>>{
           {"plain text\n", true, link + "it has neither a [General] nor an [Entry_N] section)"},
           {"", true, link + "it is empty)"},
           {"[General]\r\n" + std::string(ProfileDocument::kMaxFileBytes, ';'), false,
            "it is 32.1 MiB, more than the 32 MiB an event file may be, so it was never loaded"},
           {overFull, false,
            "it holds 32769 entries and the table keeps the first 32767: saving would drop the "
            "other 2"}}) {
    std::filesystem::remove(path_);
    writeBytes(linked ? notes : path_, content);
    if (linked) std::filesystem::create_symlink(notes, path_);
    try {
      file_.save("", tableOf({MidiEvent::added()}));
      ADD_FAILURE() << "saved: " << reason;
    } catch (const FileSaveError& error) {
      EXPECT_EQ(error.reason(), reason);
    }
    if (content != overFull) {
      EXPECT_THROW(WindowPosition(path_).save(0, 10, 10), FileSaveError) << reason;
    }
    EXPECT_TRUE(readBytes(linked ? notes : path_) == content) << reason;
  }
  WindowPosition(path_).save(0, 10, 10);
  EXPECT_EQ(file_.load().records.size(), 32767u);
  EXPECT_NE(readBytes(path_).find("[Entry_32768]"), std::string::npos);
}

// Through a symbolic link a save writes the file it names, where that is an event file or does
// not exist yet, and the link stays.
TEST_F(EventFileTest, ASaveThroughALinkWritesAnEventFileOrANewOneAndKeepsTheLink) {
  const std::string shows = dir_.file("shows");
  std::filesystem::create_directory(shows);
  std::filesystem::create_symlink("shows/spring.Notecast", path_);
  for (const char* pass : {"made", "replaced"}) {
    file_.save(pass, tableOf({MidiEvent::added()}));
    EXPECT_TRUE(std::filesystem::is_symlink(path_)) << pass;
    EXPECT_EQ(EventFile(shows + "/spring.Notecast").load().deviceName, pass);
  }
}

// A save killed at any moment leaves the old file or the new one, whole, never a broken one.
TEST_F(EventFileTest, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
  const EventTable before = tableOf(std::vector<MidiEvent>(3, MidiEvent::added()));
  std::vector<MidiEvent> large(20000, MidiEvent::added());
  for (std::size_t i = 0; i < large.size(); ++i) large[i].DMXChannel = static_cast<int>(i);
  const EventTable after = tableOf(large);
  file_.save("old", before);

  std::mt19937 random(7);
  std::uniform_int_distribution<int> delayMs(0, 60);
  int sawOld = 0, sawNew = 0;
  for (int attempt = 0; attempt < 12; ++attempt) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      file_.save("new", after);
      ::_exit(0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    const EventFile::Contents contents = file_.load();
    if (contents.deviceName == "old") {
      ++sawOld;
      EXPECT_FALSE(file_.isModified("old", before));
    } else {
      ++sawNew;
      EXPECT_EQ(contents.deviceName, "new");
      EXPECT_FALSE(file_.isModified("new", after));
      file_.save("old", before);
    }
  }
  EXPECT_EQ(sawOld + sawNew, 12);
}

}  // namespace
}  // namespace notecast
