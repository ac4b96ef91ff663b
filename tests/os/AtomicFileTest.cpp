// Saving never leaves a half-written or missing file, and refuses what Windows refuses.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>

#include "os/AtomicFile.h"
#include "os/FileSaveError.h"
#include "tests/support/TempDir.h"

namespace notecast {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

constexpr const char* kOld = "[Old]\r\nkept=1\r\n";

std::size_t entriesIn(const std::string& directory) {
  const std::filesystem::directory_iterator entries(directory);
  return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

TEST(AtomicFileTest, ReplacesKeepingThePermissionBitsAndFollowingLinks) {
  TempDir dir;
  const std::string path = dir.file("a.ini");
  writeBytes(path, kOld);
  ::chmod(path.c_str(), 0640);
  std::filesystem::create_symlink(path, dir.file("link.ini"));
  AtomicFile::replace(dir.file("link.ini"), "new");
  EXPECT_EQ(readBytes(path), "new");
  EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.ini")));
  EXPECT_EQ(entriesIn(dir.file("")), 2u);  // no temporary file left
}

TEST(AtomicFileTest, RefusesReadOnlyFilesDirectoriesAndMissingFolders) {
  TempDir dir;
  const std::string path = dir.file("ro.ini");
  writeBytes(path, kOld);
  ::chmod(path.c_str(), 0444);  // refused even to root, whom the system would let write
  try {
    AtomicFile::replace(path, "new");
    FAIL() << "a read-only file was replaced";
  } catch (const FileSaveError& error) {
    EXPECT_EQ(error.error(), EACCES);
    EXPECT_EQ(std::string(error.what()), "cannot save " + path + ": " + error.reason());
    EXPECT_NE(error.reason().find("permission denied"), std::string::npos);
  }
  EXPECT_THROW(AtomicFile::remove(path), FileSaveError);
  EXPECT_EQ(readBytes(path), kOld);

  std::filesystem::create_directory(dir.file("folder"));
  EXPECT_THROW(AtomicFile::replace(dir.file("folder"), "x"), FileSaveError);
  try {
    AtomicFile::replace(dir.file("missing/a.ini"), "x");
    FAIL() << "saved into a missing directory";
  } catch (const FileSaveError& error) {
    EXPECT_EQ(error.reason(), "no such file or directory");
  }
  EXPECT_EQ(entriesIn(dir.file("")), 2u);
}

TEST(AtomicFileTest, FullDiskLeavesTheOldFileAsItWas) {
  TempDir dir;
  const std::string path = dir.file("full.ini");
  writeBytes(path, kOld);
  // A child whose files may not grow past 4 KiB: its write fails with EFBIG, as a full disk's
  // does with ENOSPC.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      AtomicFile::replace(path, std::string(1 << 20, 'x'));
    } catch (const FileSaveError& error) {
      ::_exit(error.error() == EFBIG ? 0 : 2);
    }
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(readBytes(path), kOld);
  EXPECT_EQ(entriesIn(dir.file("")), 1u);
}

}  // namespace
}  // namespace notecast
