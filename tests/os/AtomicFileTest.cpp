// Saving never leaves a half-written or missing file, and refuses what Windows refuses.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <functional>

#include "os/AtomicFile.h"
#include "os/FileSaveError.h"
#include "tests/support/TempDir.h"

namespace notecast {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

constexpr const char* kOld = "[Old]\r\nkept=1\r\n";

// Users and groups that exist nowhere else: a child process takes them on to act as someone
// other than the file's owner, whose own group is not the file's but who belongs to it.
constexpr uid_t kOwner = 47110;
constexpr uid_t kOther = 47111;
constexpr gid_t kGroup = 47112;
constexpr gid_t kOthersOwnGroup = 47113;
constexpr int kCannotSwitchUser = 125;

std::size_t entriesIn(const std::string& directory) {
  const std::filesystem::directory_iterator entries(directory);
  return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

// Runs save in a child process as kOther, member of kGroup, with files limited to sizeLimit
// bytes. Its exit status: 0 when save returned, the errno of its FileSaveError, or
// kCannotSwitchUser.
int saveAsOther(const std::function<void()>& save, rlim_t sizeLimit = RLIM_INFINITY) {
  const pid_t child = ::fork();
  if (child == 0) {
    const gid_t groups[] = {kOthersOwnGroup, kGroup};
    if (::setgroups(2, groups) != 0 || ::setgid(kOthersOwnGroup) != 0 || ::setuid(kOther) != 0) {
      ::_exit(kCannotSwitchUser);
    }
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{sizeLimit, sizeLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      save();
    } catch (const FileSaveError& error) {
      ::_exit(error.error());
    } catch (...) {
      ::_exit(kCannotSwitchUser + 1);
    }
    ::_exit(0);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

struct stat statOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status;
}

// Starts a save in a child process that the system kills midway (its file size limit is
// exceeded), as a kill -9 would; returns the temporary file it left and the ended child's id.
std::pair<std::string, pid_t> leaveStaleTemp(const std::string& path) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::prctl(PR_SET_DUMPABLE, 0);  // no core dump
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      AtomicFile::replace(path, std::string(1 << 20, 'x'));
    } catch (...) {
    }
    ::_exit(0);
  }
  int status = 0;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
  const auto name = std::filesystem::path(path).filename();
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(path).parent_path())) {
    if (entry.path().filename() != name) return {entry.path().filename().string(), child};
  }
  return {};
}

// Set-user-id and set-group-id are dropped: a settings file never runs as its owner.
TEST(AtomicFileTest, ReplacesKeepingThePermissionBitsAndFollowingLinks) {
  TempDir dir;
  const std::string path = dir.file("a.ini");
  writeBytes(path, kOld);
  ::chmod(path.c_str(), 06750);
  std::filesystem::create_symlink(path, dir.file("link.ini"));
  AtomicFile::replace(dir.file("link.ini"), "new");
  EXPECT_EQ(readBytes(path), "new");
  EXPECT_EQ(statOf(path).st_mode & 07777, 0750u);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.ini")));
  EXPECT_EQ(entriesIn(dir.file("")), 2u);  // no temporary file left

  // A link to a file not made yet: the file is made, the link stays.
  std::filesystem::create_symlink("b.ini", dir.file("ahead.ini"));
  AtomicFile::replace(dir.file("ahead.ini"), "made");
  EXPECT_EQ(readBytes(dir.file("b.ini")), "made");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("ahead.ini")));
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

TEST(AtomicFileTest, AGroupMembersSaveKeepsTheGroupAndTheBits) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  TempDir dir;
  ::chmod(dir.file("").c_str(), 0777);
  const std::string path = dir.file("show.Notecast");
  writeBytes(path, kOld);
  ASSERT_EQ(::chown(path.c_str(), kOwner, kGroup), 0);
  ::chmod(path.c_str(), 0664);
  const int result = saveAsOther([&] { AtomicFile::replace(path, "new"); });
  if (result == kCannotSwitchUser) GTEST_SKIP() << "cannot switch to another user here";
  ASSERT_EQ(result, 0) << FileSaveError::describe(result);
  EXPECT_EQ(readBytes(path), "new");
  const struct stat status = statOf(path);
  EXPECT_EQ(status.st_uid, kOther);  // only root can give the file back to its owner
  EXPECT_EQ(status.st_gid, kGroup);
  EXPECT_EQ(status.st_mode & 07777, 0664u);
  EXPECT_EQ(entriesIn(dir.file("")), 1u);
}

TEST(AtomicFileTest, AFileInAFolderTheUserCannotWriteIsWrittenInPlace) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  TempDir dir;
  ::chmod(dir.file("").c_str(), 0755);  // root's folder: no file can be made beside the target
  const std::string path = dir.file("show.Notecast");
  writeBytes(path, std::string(kOld) + "[Long]\r\n" + std::string(5000, 'o'));
  ASSERT_EQ(::chown(path.c_str(), kOther, kGroup), 0);
  ::chmod(path.c_str(), 0640);
  const ino_t inode = statOf(path).st_ino;

  const int result = saveAsOther([&] { AtomicFile::replace(path, kOld); });
  if (result == kCannotSwitchUser) GTEST_SKIP() << "cannot switch to another user here";
  ASSERT_EQ(result, 0) << FileSaveError::describe(result);
  EXPECT_EQ(readBytes(path), kOld);  // shorter than before: cut to its length
  const struct stat status = statOf(path);
  EXPECT_EQ(status.st_ino, inode);
  EXPECT_EQ(status.st_uid, kOther);
  EXPECT_EQ(status.st_gid, kGroup);
  EXPECT_EQ(status.st_mode & 07777, 0640u);

  // A failed write (the file may not grow past 4 KiB) puts the old content back.
  const auto growPastTheLimit = [&] { AtomicFile::replace(path, std::string(1 << 20, 'x')); };
  EXPECT_EQ(saveAsOther(growPastTheLimit, 4096), EFBIG);
  EXPECT_EQ(readBytes(path), kOld);
  // A missing file cannot be made there at all.
  EXPECT_EQ(saveAsOther([&] { AtomicFile::replace(dir.file("new.Notecast"), "x"); }), EACCES);
  EXPECT_EQ(entriesIn(dir.file("")), 1u);
}

TEST(AtomicFileTest, APathTooLongForATemporaryFileIsWrittenInPlace) {
  TempDir dir;
  // A target path of 4087 bytes: within PATH_MAX, its temporary file's path beyond it.
  const std::string name = "a.Notecast";
  std::string folder = dir.file("");
  folder.pop_back();
  while (folder.size() + 201 + 1 + name.size() < 4087 - 50) folder += "/" + std::string(200, 'd');
  folder += "/" + std::string(4087 - folder.size() - 2 - name.size(), 'e');
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/" + name;
  ASSERT_EQ(path.size(), 4087u);
  writeBytes(path, kOld);
  ::chmod(path.c_str(), 06640);
  const ino_t inode = statOf(path).st_ino;
  AtomicFile::replace(path, "new");
  EXPECT_EQ(readBytes(path), "new");
  EXPECT_EQ(statOf(path).st_ino, inode);
  EXPECT_EQ(statOf(path).st_mode & 07777, 0640u) << "set-user-id and set-group-id dropped";
  EXPECT_EQ(entriesIn(folder), 1u);
}

TEST(AtomicFileTest, NamesUpToTheFileSystemsLimitAreSaved) {
  TempDir dir;
  // 255 bytes; and 245 with two-byte characters where a shortened name would be cut.
  std::string accented;
  while (accented.size() < 236) accented += "\xC3\xA9";
  for (const std::string& name :
       {std::string(246, 'n') + ".Notecast", accented + ".Notecast", std::string(255, 'n')}) {
    SCOPED_TRACE(name.size());
    const std::string path = dir.file(name);
    AtomicFile::replace(path, kOld);   // created
    AtomicFile::replace(path, "new");  // replaced
    EXPECT_EQ(readBytes(path), "new");
    AtomicFile::remove(path);
    EXPECT_EQ(entriesIn(dir.file("")), 0u);
  }
}

TEST(AtomicFileTest, ASaveDeletesOnlyTheTemporaryFilesItsKilledSavesLeft) {
  for (const std::string& name :
       {std::string("big.Notecast"), std::string(240, 'b') + ".Notecast"}) {
    SCOPED_TRACE(name);
    TempDir dir;
    const std::string path = dir.file(name);
    writeBytes(path, kOld);
    const auto [stale, ended] = leaveStaleTemp(path);
    ASSERT_FALSE(stale.empty());
    // Recognisable: the start of the file's name, the process, its extension.
    EXPECT_EQ(stale.substr(0, 4), "." + name.substr(0, 3));
    const auto pidAt = stale.rfind("." + std::to_string(ended) + "-");
    ASSERT_NE(pidAt, std::string::npos) << stale;
    EXPECT_EQ(stale.substr(pidAt - 9, 9), ".Notecast");
    const std::string stem = stale.substr(0, pidAt);
    const std::string endedPid = "." + std::to_string(ended);

    // Must stay: a running process's (its save may be under way) and other names and kinds.
    const std::string running = stem + "." + std::to_string(::getpid()) + "-0-1.tmp";
    const std::vector<std::string> kept = {running,
                                           stale + "~",
                                           stem + endedPid + "-0.tmp",
                                           stem + endedPid + "-0-x.tmp",
                                           stem + "x" + endedPid + "-0-1.tmp",
                                           stem.substr(1) + endedPid + "-0-1.tmp",
                                           stem + endedPid + "-0-2.tmp",
                                           stem + endedPid + "-0-3.tmp"};
    for (std::size_t i = 0; i + 2 < kept.size(); ++i) writeBytes(dir.file(kept[i]), "keep");
    std::filesystem::create_directory(dir.file(kept[kept.size() - 2]));
    std::filesystem::create_symlink(path, dir.file(kept.back()));

    AtomicFile::replace(path, "new");
    EXPECT_EQ(readBytes(path), "new");
    EXPECT_FALSE(std::filesystem::exists(dir.file(stale)));
    for (const auto& file : kept) {
      EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(dir.file(file)))) << file;
    }
    EXPECT_EQ(entriesIn(dir.file("")), 1 + kept.size());
  }
}

}  // namespace
}  // namespace notecast
