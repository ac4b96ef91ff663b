#include "os/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "os/FileSaveError.h"

namespace notecast {
namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask, as for any new file
constexpr mode_t kPrivateMode = 0600;  // until the old file's bits are copied
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kPermissionBits = 07777;
constexpr int kTempNameAttempts = 100;
const std::string kReadOnlyReason = "permission denied (the file is read-only)";

// The file a path names: a symbolic link is followed, so the link stays and its file changes.
std::string targetOf(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  const auto target = std::filesystem::canonical(path, error);
  return error ? path : target.string();
}

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

// A new, empty, exclusively created file beside the target: "<dir>/.<name>.<unique>.tmp".
int createTemp(const std::string& path, std::string& tempPath, mode_t mode) {
  static std::atomic<unsigned> counter{0};
  const auto base = std::filesystem::path(path).filename().string();
  const auto directory = directoryOf(path);
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    const auto clock = std::chrono::steady_clock::now().time_since_epoch().count();
    tempPath = directory + "/." + base + "." + std::to_string(::getpid()) + "-" +
               std::to_string(counter++) + "-" + std::to_string(clock % 1000000) + ".tmp";
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) return fd;
    if (errno != EEXIST) throw FileSaveError(path, errno);
  }
  throw FileSaveError(path, EEXIST, "no free name for the temporary file");
}

// Writes everything; returns 0 or the errno of the failure (ENOSPC, EFBIG, EIO).
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

// Fills the temporary file and gives it the old file's bits; returns 0 or the errno.
int fill(int fd, std::string_view content, const struct stat* old) {
  if (const int error = writeAll(fd, content)) return error;
  if (old != nullptr) {
    if (::fchmod(fd, old->st_mode & kPermissionBits) != 0) return errno;
    // Only a privileged user can give the file back to its owner; others keep it themselves.
    if (::fchown(fd, old->st_uid, old->st_gid) != 0 && errno != EPERM) return errno;
  }
  if (::fsync(fd) != 0) return errno;
  return 0;
}

}  // namespace

void AtomicFile::replace(const std::string& path, std::string_view content) {
  const std::string target = targetOf(path);
  struct stat old {};
  const bool exists = statReplaceable(target, old);
  std::string temp;
  const int fd = createTemp(target, temp, exists ? kPrivateMode : kNewFileMode);
  int error = fill(fd, content, exists ? &old : nullptr);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    throw FileSaveError(path, error);
  }
  syncDirectory(path, directoryOf(target));
}

void AtomicFile::remove(const std::string& path) {
  struct stat status {};
  if (!statReplaceable(targetOf(path), status)) return;
  // A symbolic link goes itself, as a deletion on Windows removes the link, not its file.
  if (::unlink(path.c_str()) != 0) throw FileSaveError(path, errno);
  syncDirectory(path, directoryOf(path));
}

void AtomicFile::checkReplaceable(const std::string& path) {
  struct stat status {};
  statReplaceable(targetOf(path), status);
}

}  // namespace notecast
