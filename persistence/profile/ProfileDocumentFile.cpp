// ProfileDocument: loading from and saving to disk.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "os/AtomicFile.h"
#include "os/FileSaveError.h"
#include "os/NumberText.h"
#include "persistence/profile/ProfileDocument.h"

namespace notecast {
namespace {

constexpr std::size_t kReadChunk = 1 << 16;

// Reads the file at path into bytes; returns 0, or the errno of the failure (ENOENT when it is
// missing, EISDIR for a directory, EINVAL for anything else that is not a regular file, EFBIG
// beyond the size limit, also for a file that grows past it while it is read). Opened
// without blocking and refused unless regular: a fifo or device would otherwise wait for a writer
// (a fifo's open blocks) or never end.
int readFile(const std::string& path, std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(fd);
    return S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
  }
  if (static_cast<std::uint64_t>(status.st_size) > ProfileDocument::kMaxFileBytes) {
    ::close(fd);
    return EFBIG;
  }
  bytes.reserve(static_cast<std::size_t>(status.st_size));
  std::string chunk(kReadChunk, '\0');
  int error = 0;
  for (;;) {
    const ssize_t n = ::read(fd, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    if (n <= 0) break;
    bytes.append(chunk.data(), static_cast<std::size_t>(n));
    if (bytes.size() > ProfileDocument::kMaxFileBytes) {
      error = EFBIG;
      break;
    }
  }
  ::close(fd);
  return error;
}

}  // namespace

ProfileDocument ProfileDocument::load(const std::string& path) {
  std::string bytes;
  const int error = readFile(path, bytes);
  if (error == 0) return parse(std::move(bytes));
  ProfileDocument document;
  if (error != ENOENT) document.loadError_ = error;
  return document;
}

void ProfileDocument::save(const std::string& path) const {
  const std::string limit = "the " + mebibytesText(kMaxFileBytes) + " a settings file may be";
  if (loadError_ == EFBIG)
    throw FileSaveError(path, EFBIG, "cannot read it: it is larger than " + limit);
  if (loadError_ != 0)
    throw FileSaveError(path, loadError_, "cannot read it: " + FileSaveError::describe(loadError_));
  const std::string content = bytes();
  if (content.size() > kMaxFileBytes) {
    throw FileSaveError(path, EFBIG,
                        "it would be " + mebibytesText(content.size()) + ", larger than " + limit);
  }
  AtomicFile::replace(path, content);
}

}  // namespace notecast
