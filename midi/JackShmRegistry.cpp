#include "midi/JackShmRegistry.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace notecast {
namespace {

constexpr const char* kRegistry = "/dev/shm/jack-shm-registry";

struct Mapping {
  void* start = nullptr;
  void* end = nullptr;
};

// The mapping of the registry file that was removed, as /proc/self/maps shows it:
// "START-END rw-s 00000000 00:1c 3332   /dev/shm/jack-shm-registry (deleted)".
bool findRemovedRegistry(Mapping* found) {
  std::ifstream maps("/proc/self/maps");
  const std::string removed = std::string(kRegistry) + " (deleted)";
  for (std::string line; std::getline(maps, line);) {
    if (!line.ends_with(" " + removed)) continue;
    std::istringstream fields(line);
    std::string range, permissions, offset;
    fields >> range >> permissions >> offset;
    if (offset.find_first_not_of('0') != std::string::npos) return false;
    // The addresses are hexadecimal, as %p reads them.
    if (std::sscanf(range.c_str(), "%p-%p", &found->start, &found->end) != 2) return false;
    return found->end > found->start;
  }
  return false;
}

}  // namespace

JackShmRegistry::Outcome JackShmRegistry::follow() noexcept {
  try {
    Mapping old;
    if (!findRemovedRegistry(&old)) return Outcome::kCurrent;
    const int file = ::open(kRegistry, O_RDWR | O_CLOEXEC);
    if (file < 0) return Outcome::kCurrent;  // no server has made a new one yet
    struct stat status {};
    const auto length =
        static_cast<std::size_t>(static_cast<char*>(old.end) - static_cast<char*>(old.start));
    void* mapped = MAP_FAILED;
    // The old mapping covers whole pages; the new file must reach into its last one.
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    if (::fstat(file, &status) == 0 && static_cast<std::size_t>(status.st_size) + page > length) {
      mapped = ::mmap(old.start, length, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_FIXED, file, 0);
    }
    ::close(file);
    return mapped == reinterpret_cast<void*>(old.start) ? Outcome::kFollowed
                                                        : Outcome::kCannotFollow;
  } catch (...) {
    return Outcome::kCannotFollow;
  }
}

}  // namespace notecast
