// clsIni: one read and one atomic write per operation, and Reset's deletion at commit.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "os/FileSaveError.h"
#include "persistence/clsIni.h"
#include "tests/support/TempDir.h"

namespace notecast {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

TEST(clsIniTest, ReadsOnceAndWritesOnlyAtCommit) {
  TempDir dir;
  const std::string path = dir.file("p.Notecast");
  writeBytes(path, "[General]\r\nCount=1\r\n");
  {
    clsIni ini(path);
    EXPECT_EQ(ini.GetIni("General", "Count", "0"), "1");
    writeBytes(path, "[General]\r\nCount=2\r\n");  // read once: the change is not seen
    EXPECT_EQ(ini.GetIni("General", "Count", "0"), "1");
    ini.SaveIni("General", "Name", "x");
    EXPECT_EQ(ini.GetIni("general", "name", ""), "x");
  }  // no commit: nothing written
  EXPECT_EQ(readBytes(path), "[General]\r\nCount=2\r\n");

  clsIni ini;
  ini.setFileName(path);
  ini.SaveIni("General", "Name", " x ");
  ini.SaveIni("Entry_0", "Data1", "\u00E9");
  ini.commit();
  EXPECT_EQ(readBytes(path), "[General]\r\nCount=2\r\nName= x \r\n[Entry_0]\r\nData1=\xE9\r\n");
}

TEST(clsIniTest, ResetKeepsTheOldFileUntilCommitPutsTheNewOneInPlace) {
  TempDir dir;
  const std::string path = dir.file("p.Notecast");
  writeBytes(path, "[General]\r\nOld=1\r\n");
  clsIni ini(path);
  ini.Reset();
  EXPECT_EQ(ini.GetIni("General", "Old", "gone"), "gone");
  ini.SaveIni("General", "New", "2");
  EXPECT_EQ(readBytes(path), "[General]\r\nOld=1\r\n");
  ini.commit();
  EXPECT_EQ(readBytes(path), "[General]\r\nNew=2\r\n");

  ini.Reset();
  ini.commit();  // nothing written after the reset: the file goes
  EXPECT_FALSE(clsIni::FileExists(path));
  ini.Reset();
  ini.commit();  // and deleting what is gone is no error
}

TEST(clsIniTest, ReadOnlyFileFailsTheResetAndTheCommitAndStays) {
  TempDir dir;
  const std::string path = dir.file("ro.Notecast");
  writeBytes(path, "[General]\r\nOld=1\r\n");
  ::chmod(path.c_str(), 0444);
  clsIni ini(path);
  EXPECT_THROW(ini.Reset(), FileSaveError);
  ini.SaveIni("General", "New", "2");
  EXPECT_THROW(ini.commit(), FileSaveError);
  EXPECT_EQ(readBytes(path), "[General]\r\nOld=1\r\n");
}

TEST(clsIniTest, WhatCannotBeReadGivesDefaultsAndIsNeverOverwritten) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("folder"));
  clsIni folder(dir.file("folder"));
  EXPECT_EQ(folder.GetIni("S", "k", "d"), "d");
  folder.SaveIni("S", "k", "v");
  try {
    folder.commit();
    FAIL() << "saved over what it could not read";
  } catch (const FileSaveError& error) {
    EXPECT_EQ(error.reason(), "cannot read it: is a directory");
  }
  clsIni unnamed;
  unnamed.SaveIni("S", "k", "v");
  EXPECT_THROW(unnamed.commit(), FileSaveError);
}

TEST(clsIniTest, FileExistsOnlyForRegularFiles) {
  TempDir dir;
  writeBytes(dir.file("f"), "");
  EXPECT_TRUE(clsIni::FileExists(dir.file("f")));
  EXPECT_FALSE(clsIni::FileExists(dir.file("")));
  EXPECT_FALSE(clsIni::FileExists(dir.file("missing")));
  EXPECT_FALSE(clsIni::FileExists(""));
}

}  // namespace
}  // namespace notecast
