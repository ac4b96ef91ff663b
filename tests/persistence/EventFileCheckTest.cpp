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
        std::string("[Entry_0]\nData1=1")}) {
    testing::writeBytes(file(), text);
    EXPECT_EQ(warning(), "") << text;
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
