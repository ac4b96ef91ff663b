#include "os/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "os/FileSaveError.h"

namespace notecast {
namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask, as for any new file
constexpr mode_t kPrivateMode = 0600;  // until the old file's bits are copied
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kPermissionBits = 07777;
// A settings file never runs: bits that would run it as its owner or group are not kept.
constexpr mode_t kSetIdBits = S_ISUID | S_ISGID;
// As many links in a row as the system itself follows.
constexpr int kMaxLinkHops = 40;
constexpr int kTempNameAttempts = 100;
constexpr unsigned kClockModulus = 1000000;
const std::string kReadOnlyReason = "permission denied (the file is read-only)";

// A temporary file's name is ".<stem>.<pid>-<counter>-<clock>.tmp". Its longest suffix: the two
// dots, a process id of up to 10 digits, a 32-bit counter (10 digits), the clock (6 digits).
constexpr std::size_t kMaxPidDigits = 10;
constexpr std::size_t kMaxCounterDigits = 10;
constexpr std::size_t kMaxClockDigits = 6;
const std::string kTempExtension = ".tmp";
constexpr std::size_t kMaxTempSuffix =
    2 + kMaxPidDigits + 1 + kMaxCounterDigits + 1 + kMaxClockDigits + 4;  // 4: ".tmp"
// A long name's stem keeps its extension (an event file's suffix) when it is no longer than this.
constexpr std::size_t kMaxKeptExtension = 16;

std::string directoryOf(const std::string& path) {
  const auto parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

// The state of an existing file at path, checked for replacing or deleting; false when missing.
bool statReplaceable(const std::string& path, struct stat& status) {
  if (::stat(path.c_str(), &status) != 0) {
    if (errno == ENOENT) return false;
    throw FileSaveError(path, errno);
  }
  if (S_ISDIR(status.st_mode)) throw FileSaveError(path, EISDIR);
  if (!S_ISREG(status.st_mode)) throw FileSaveError(path, EINVAL, "not a regular file");
  if ((status.st_mode & kWriteBits) == 0) throw FileSaveError(path, EACCES, kReadOnlyReason);
  // Someone else's file that this user may not write: refused like on Windows (root may).
  if (::geteuid() != 0 && ::access(path.c_str(), W_OK) != 0) throw FileSaveError(path, errno);
  return true;
}

// Flushes the directory, so that a rename or deletion in it survives a crash. File systems that
// cannot flush a directory (EINVAL) are taken as they are.
void syncDirectory(const std::string& path, const std::string& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw FileSaveError(path, errno);
  const int result = ::fsync(fd);
  const int error = errno;
  ::close(fd);
  if (result != 0 && error != EINVAL) throw FileSaveError(path, error);
}

// FNV-1a: stable across builds and runs, so every version finds the same stem for a name.
std::uint32_t nameHash(std::string_view text) {
  std::uint32_t hash = 2166136261U;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619U;
  }
  return hash;
}

// The part of the temporary files' name taken from the file's own name: all of it while the
// temporary name stays within the file system's name limit; otherwise its start, a hash of the
// whole (two long names with the same start still differ) and its extension.
std::string tempStem(const std::string& name, const std::string& directory) {
  const long limit = ::pathconf(directory.c_str(), _PC_NAME_MAX);
  const std::size_t nameMax = limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
  const std::size_t budget = nameMax > kMaxTempSuffix ? nameMax - kMaxTempSuffix : 0;
  if (name.size() <= budget) return name;
  char hex[9] = {};
  std::to_chars(hex, hex + 8, nameHash(name), 16);
  const std::string hash = std::string("~") + hex;
  std::string extension = std::filesystem::path(name).extension().string();
  if (extension.size() > kMaxKeptExtension || hash.size() + extension.size() > budget) {
    extension.clear();
  }
  std::size_t head =
      budget > hash.size() + extension.size() ? budget - hash.size() - extension.size() : 0;
  // Cut before a character, not inside a UTF-8 sequence.
  while (head > 0 && (static_cast<unsigned char>(name[head]) & 0xC0U) == 0x80U) --head;
  return name.substr(0, head) + hash + extension;
}

bool isNumber(std::string_view text, std::size_t maxDigits) {
  return !text.empty() && text.size() <= maxDigits &&
         std::all_of(text.begin(), text.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

// The process id in a temporary file's name made for stem; 0 when name is anything else.
pid_t tempOwner(std::string_view name, const std::string& stem) {
  const std::string prefix = "." + stem + ".";
  if (!name.starts_with(prefix) || !name.ends_with(kTempExtension)) return 0;
  if (name.size() < prefix.size() + kTempExtension.size()) return 0;
  std::string_view rest = name.substr(prefix.size());
  rest.remove_suffix(kTempExtension.size());
  const auto firstDash = rest.find('-');
  const auto secondDash = rest.find('-', firstDash == std::string_view::npos ? 0 : firstDash + 1);
  if (firstDash == std::string_view::npos || secondDash == std::string_view::npos) return 0;
  const auto pid = rest.substr(0, firstDash);
  const auto counter = rest.substr(firstDash + 1, secondDash - firstDash - 1);
  const auto clock = rest.substr(secondDash + 1);
  if (!isNumber(pid, kMaxPidDigits) || !isNumber(counter, kMaxCounterDigits) ||
      !isNumber(clock, kMaxClockDigits)) {
    return 0;
  }
  long long value = 0;
  std::from_chars(pid.data(), pid.data() + pid.size(), value);
  return value > 0 && value <= INT_MAX ? static_cast<pid_t>(value) : 0;
}

// A process that exists or that this user may not signal (someone else's) counts as running.
bool processRuns(pid_t pid) {
  return ::kill(pid, 0) == 0 || errno != ESRCH;
}

// Deletes the temporary files that saves of this file left when their process was killed. Only
// regular files of exactly this naming scheme whose process has ended; failures are ignored, the
// save goes on without.
void removeStaleTemps(const std::string& directory, const std::string& stem) {
  DIR* const listing = ::opendir(directory.c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = ::readdir(listing)) {
    const pid_t owner = tempOwner(entry->d_name, stem);
    if (owner == 0 || processRuns(owner)) continue;
    struct stat status {};
    if (::fstatat(::dirfd(listing), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(status.st_mode)) {
      ::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
  }
  ::closedir(listing);
}

// A new, empty, exclusively created file beside the target; its descriptor, or -errno.
int createTemp(const std::string& directory, const std::string& stem, std::string& tempPath,
               mode_t mode) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    const auto clock = std::chrono::steady_clock::now().time_since_epoch().count();
    tempPath = directory + "/." + stem + "." + std::to_string(::getpid()) + "-" +
               std::to_string(counter++) + "-" + std::to_string(clock % kClockModulus) +
               kTempExtension;
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -errno;
  }
  return -EEXIST;
}

// Writes everything from the descriptor's offset; returns 0 or the errno (ENOSPC, EFBIG, EIO).
int writeAll(int fd, std::string_view content) {
  std::size_t written = 0;
  while (written < content.size()) {
    const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    written += static_cast<std::size_t>(n);
  }
  return 0;
}

int readAll(int fd, std::string& content) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    content.append(buffer, static_cast<std::size_t>(n));
  }
}

// Gives the temporary file the old file's group (and owner, where allowed) and bits; returns 0
// or the errno. The owner is set first: a change of owner may clear set-id bits.
int restoreOwnership(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
    if (errno != EPERM) return errno;
    // Only a privileged user can give the file back to its owner; a member of the file's group
    // can still give it back to the group, so that the others in it keep their access.
    if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0 && errno != EPERM) return errno;
  }
  if (::fchmod(fd, old.st_mode & kPermissionBits & ~kSetIdBits) != 0) return errno;
  return 0;
}

// Fills the temporary file and gives it the old file's owner and bits; returns 0 or the errno.
int fill(int fd, std::string_view content, const struct stat* old) {
  if (const int error = writeAll(fd, content)) return error;
  if (old != nullptr) {
    if (const int error = restoreOwnership(fd, *old)) return error;
  }
  if (::fsync(fd) != 0) return errno;
  return 0;
}

// Reserves the disk space for size bytes where the file system can, so that a full disk shows
// before the file is touched; returns 0 or the errno of a full disk or quota.
int reserve(int fd, std::size_t size) {
  if (size == 0) return 0;
  if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) return 0;
  if (errno == ENOSPC || errno == EDQUOT || errno == EFBIG) return errno;
  return 0;  // not supported here: the write itself tells
}

// Clears the set-user-id and set-group-id bits of the open file; returns 0 or the errno. A user
// who may not change the bits (not the owner) needs not: the system clears them at the write.
int dropSetIdBits(int fd) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) return errno;
  if ((status.st_mode & kSetIdBits) == 0) return 0;
  if (::fchmod(fd, status.st_mode & kPermissionBits & ~kSetIdBits) != 0 && errno != EPERM)
    return errno;
  return 0;
}

// Puts content back as the file's whole content, as well as it goes.
void putBack(int fd, std::string_view content) {
  if (::lseek(fd, 0, SEEK_SET) != 0 || writeAll(fd, content) != 0) return;
  if (::ftruncate(fd, static_cast<off_t>(content.size())) != 0) return;
  ::fsync(fd);
}

// Writes content over the file itself, for when no file can be made beside it (a folder the user
// may not write in). The file keeps its owner, group and bits. A failed write puts the old
// content back; a crash midway leaves the file partly written.
void writeInPlace(const std::string& path, const std::string& target, std::string_view content) {
  const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) throw FileSaveError(path, errno);
  std::string old;
  int error = readAll(fd, old);
  if (error == 0) error = reserve(fd, content.size());
  if (error == 0 && ::lseek(fd, 0, SEEK_SET) != 0) error = errno;
  if (error == 0) error = dropSetIdBits(fd);
  if (error == 0) {
    // Written over the old content and cut afterwards, which keeps the reserved space.
    error = writeAll(fd, content);
    if (error == 0 && ::ftruncate(fd, static_cast<off_t>(content.size())) != 0) error = errno;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (error != 0) putBack(fd, old);
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) throw FileSaveError(path, error);
}

// Failures to make a file beside the target that writing the target itself may not share.
bool cannotCreateBeside(int error) {
  return error == EACCES || error == EPERM || error == ENAMETOOLONG;
}

}  // namespace

void AtomicFile::replace(const std::string& path, std::string_view content) {
  const std::string target = targetOf(path);
  struct stat old {};
  const bool exists = statReplaceable(target, old);
  const std::string directory = directoryOf(target);
  const std::string stem = tempStem(std::filesystem::path(target).filename().string(), directory);
  removeStaleTemps(directory, stem);
  std::string temp;
  const int fd = createTemp(directory, stem, temp, exists ? kPrivateMode : kNewFileMode);
  if (fd < 0) {
    if (exists && cannotCreateBeside(-fd)) {
      writeInPlace(path, target, content);
      return;
    }
    throw FileSaveError(path, -fd, -fd == EEXIST ? "no free name for the temporary file" : "");
  }
  int error = fill(fd, content, exists ? &old : nullptr);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    throw FileSaveError(path, error);
  }
  syncDirectory(path, directory);
}

void AtomicFile::remove(const std::string& path) {
  struct stat status {};
  if (!statReplaceable(targetOf(path), status)) return;
  // A symbolic link goes itself, as a deletion on Windows removes the link, not its file.
  if (::unlink(path.c_str()) != 0) throw FileSaveError(path, errno);
  syncDirectory(path, directoryOf(path));
}

std::string AtomicFile::targetOf(const std::string& path) {
  std::filesystem::path current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(current, error)) return current.string();
    const std::filesystem::path next = std::filesystem::read_symlink(current, error);
    if (error) throw FileSaveError(path, error.value());
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  throw FileSaveError(path, ELOOP);
}

void AtomicFile::checkReplaceable(const std::string& path) {
  struct stat status {};
  statReplaceable(targetOf(path), status);
}

}  // namespace notecast
