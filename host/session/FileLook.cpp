#include "host/session/FileLook.h"

#include <sys/stat.h>

namespace notecast::host {
namespace {

constexpr long long kNsPerSecond = 1'000'000'000;

long long nanoseconds(const timespec& time) {
  return static_cast<long long>(time.tv_sec) * kNsPerSecond + time.tv_nsec;
}

}  // namespace

FileLook lookAt(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  return {true, info.st_size, nanoseconds(info.st_mtim), nanoseconds(info.st_ctim), info.st_ino};
}

}  // namespace notecast::host
