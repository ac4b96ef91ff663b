#pragma once
// A look at a file that tells whether it changed since another look: a write changes its size,
// its modification or change time, or, replaced, its inode. Used to take an event file only once
// whoever writes it has stopped. Any thread; never opens the file.

#include <sys/types.h>
#include <string>

namespace notecast::host {

struct FileLook {
  bool exists = false;
  off_t size = 0;
  long long modifiedNs = 0;
  long long changedNs = 0;
  ino_t inode = 0;

  friend bool operator==(const FileLook&, const FileLook&) = default;
};

FileLook lookAt(const std::string& path);

}  // namespace notecast::host
