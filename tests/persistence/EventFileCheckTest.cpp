#include "persistence/EventFileCheck.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <tuple>
#include <vector>

#include "persistence/EventFile.h"
#include "persistence/EventFileName.h"
#include "persistence/profile/ProfileDocument.h"
#include "tests/support/TempDir.h"

namespace notecast {
namespace {

class EventFileCheckTest : public ::testing::Test {
 protected:
  std::string base() const { return dir_.file("show"); }
  std::string file() const { return eventFilePath(base()); }
  std::string warning() const { return checkEventFile(base()); }

  testing::TempDir dir_;
};

TEST_F(EventFileCheckTest, AnEventFileInAnyCaseOrLayoutPassesAndNoProjectNeedsNoFile) {
  for (const std::string& text :
       {std::string("[General]\r\nCount=0\r\n"), std::string("\xEF\xBB\xBF;x\n  [ general ]  \n"),
        std::string("\xEF\xBB\xBF[General]\n"), std::string("junk\r[ENTRY_0]\rDMXChannel=1\r"),
        std::string("[Entry_0]\nData1=1"),
        // A header across the first 64 KiB the look reads at a time.
        std::string(65530, ';') + "\r[Entry_0]\r" + std::string(100000, ';')}) {
    testing::writeBytes(file(), text);
    EXPECT_EQ(warning(), "") << text.substr(0, 40);
  }
  EXPECT_EQ(checkEventFile(""), "");
  EXPECT_EQ(eventFilePath("a/b"), "a/b.Notecast");
}

TEST_F(EventFileCheckTest, WhatTheFileLacksIsNamedWithTheFile) {
  EXPECT_EQ(warning(), "no event file " + file() + " yet: starting with no events");

  testing::writeBytes(file(), "");
  EXPECT_EQ(warning(), "event file " + file() + " is empty: starting with no events");

  std::string noise(4096, '\0');
  std::mt19937 random(7);
  for (char& byte : noise) byte = static_cast<char>(random());
  testing::writeBytes(file(), noise);
  EXPECT_EQ(warning(), "event file " + file() +
                           " has neither a [General] nor an [Entry_N] section, so it is no event "
                           "file: starting with no events");
  testing::writeBytes(file(), "[Generally]\n[Entry_]\n[Other]\nGeneral=1\n");
  EXPECT_NE(warning(), "") << "near misses are no sections";

  // Too large to load: named with its size, and nothing of it loads.
  testing::writeBytes(file(), "[General]\r\nCount=1\r\n");
  std::filesystem::resize_file(file(), ProfileDocument::kMaxFileBytes + 1);
  EXPECT_EQ(warning(), "event file " + file() +
                           " is 32.1 MiB, more than the 32 MiB an event file may be: starting "
                           "with no events");
  EXPECT_EQ(EventFile(file()).load().records.size(), 1u);

  std::filesystem::remove(file());
  std::filesystem::create_directory(file());
  EXPECT_EQ(warning(), "event file " + file() + " is a folder: starting with no events");

  std::filesystem::remove(file());
  ASSERT_EQ(::mkfifo(file().c_str(), 0600), 0);  // with no writer: a read would wait for ever
  EXPECT_EQ(warning(), "event file " + file() + " is not a regular file: starting with no events");
}

// Ten entry sections under a [General] with `countLine`; the check's count of what loads must be
// what the load really reads.
TEST_F(EventFileCheckTest, EntriesTheCountLeavesOutAreNamedAsASaveWouldDropThem) {
  const auto writeTenEntries = [&](const std::string& countLine) {
    std::string text = "[General]\r\n" + countLine;
    for (int n = 9; n >= 0; --n) text += "[Entry_" + std::to_string(n) + "]\r\nData1=1\r\n";
    testing::writeBytes(file(), text + "[Entry_05]\r\n[ entry_9 ]\r\n");
  };
  const std::string lost = "event file " + file();
  for (const auto& [countLine, expected, loads] :
       std::vector<std::tuple<std::string, std::string, std::size_t>>{
           {"Count=9x\r\n", lost + ": Count=9x cannot be used: 1 of its 10 entries load", 1},
           {"Count=2147483648\r\n",
            lost + ": Count=2147483648 cannot be used: 1 of its 10 entries load", 1},
           {"Count= -5 \r\n", lost + ": Count=-5 cannot be used: 1 of its 10 entries load", 1},
           {"Count=\r\n", lost + ": Count= cannot be used: 1 of its 10 entries load", 1},
           {"", lost + " has no Count=: 1 of its 10 entries load", 1},
           {"Count=3\r\n", lost + ": Count=3 reaches Entry_3 only: 4 of its 10 entries load", 4},
           {"Count=\"9\"\r\n", "", 10}}) {
    writeTenEntries(countLine);
    EXPECT_EQ(warning(), expected.empty() ? "" : expected + "; a save keeps only those")
        << countLine;
    EXPECT_EQ(EventFile(file()).load().records.size(), loads) << countLine;
  }
  // A Count= beyond the last entry loads blank events, which a save writes; a reload is not
  // refused for them.
  writeTenEntries("Count=12\r\n");
  EXPECT_EQ(warning(), lost +
                           ": Count=12 but the entries stop at Entry_9: 3 blank events load; a "
                           "save writes them");
  EXPECT_EQ(EventFile(file()).load().records.size(), 13u);
  EXPECT_EQ(checkEventFile(base(), "", false), "");
  testing::writeBytes(file(), "[General]\r\nCount=1\r\n");
  EXPECT_EQ(warning(), lost +
                           ": Count=1 but the file holds no entries: 2 blank events load; a "
                           "save writes them");
  // A control byte in the value must not reach the terminal.
  testing::writeBytes(file(), "[General]\r\nCount=\x1B[2J\r\n[Entry_0]\r\n[Entry_1]\r\n");
  EXPECT_EQ(warning(), lost +
                           ": Count=?[2J cannot be used: 1 of its 2 entries load; a save keeps "
                           "only those");
}

// `entries` entry sections of ten keys each, as a save writes them, under Count=`count`.
std::string eventFileText(int entries, int count) {
  std::string text = "[General]\r\nCount=" + std::to_string(count) + "\r\n";
  for (int n = 0; n < entries; ++n) {
    text += "[Entry_" + std::to_string(n) +
            "]\r\nDMXChannel=1\r\nData1=0\r\nData2=0\r\nMIDIMessage=144\r\nValue=127\r\n"
            "SendNoteOff=0\r\nSendOnlyOnce=0\r\nShare=0\r\nShareName=\r\nTyp=0\r\n";
  }
  return text;
}

// The whole file is looked at, however large: a full table (beyond 4 MiB) passes; more entries
// than the table holds, and a file cut short after its Count=, are named with the true numbers.
// A reload refuses what holds more than the table.
TEST_F(EventFileCheckTest, EntriesBeyondTheTableOrBeyondALargeFilesEndAreNamed) {
  const std::string named = "event file " + file();
  for (const auto& [entries, count, expected, reload] :
       std::vector<std::tuple<int, int, std::string, bool>>{
           {32767, 32766, "", false},
           {40000, 39999,
            " holds 40000 entries; the table keeps the first 32767, and a save is refused while "
            "it would drop the other 7233",
            true},
           {40000, 35000,
            " holds 35001 entries; the table keeps the first 32767, and a save is refused while "
            "it would drop the other 2234",
            true},
           {32000, 32000,
            ": Count=32000 but the entries stop at Entry_31999: 1 blank event loads; a save "
            "writes them",
            false}}) {
    testing::writeBytes(file(), eventFileText(entries, count));
    ASSERT_GT(std::filesystem::file_size(file()), std::size_t{4} << 20);
    EXPECT_EQ(warning(), expected.empty() ? "" : named + expected) << entries;
    EXPECT_EQ(checkEventFile(base(), "", false), reload ? named + expected : "") << entries;
  }
  EXPECT_EQ(EventFile(file()).load().records.size(), 32001u);
}

TEST_F(EventFileCheckTest, AProjectInAFolderThatIsNotThereNamesTheFolder) {
  const std::string missing = dir_.file("no/such");
  EXPECT_EQ(checkEventFile(missing + "/show"),
            "no folder " + missing + " for project " + missing + "/show: starting with no events");
}

TEST_F(EventFileCheckTest, AFileThatCannotBeReadIsNamedWithTheReason) {
  std::filesystem::create_symlink(file(), file());  // a loop: no one can open it
  EXPECT_EQ(warning(), "cannot read event file " + file() +
                           " (Too many levels of symbolic links): starting with no events");
  std::filesystem::remove(file());

  // Root reads any file whatever its mode: there only the loop above can fail.
  testing::writeBytes(file(), "[General]\r\n");
  ::chmod(file().c_str(), 0);
  if (::access(file().c_str(), R_OK) != 0) {
    EXPECT_EQ(warning(),
              "cannot read event file " + file() + " (Permission denied): starting with no events");
  }
}

}  // namespace
}  // namespace notecast
