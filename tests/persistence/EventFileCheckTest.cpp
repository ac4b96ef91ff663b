#include "persistence/EventFileCheck.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

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
        std::string("\xEF\xBB\xBF[General]\n"), std::string("junk\r[ENTRY_3]\rDMXChannel=1\r"),
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
