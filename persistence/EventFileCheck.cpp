#include "persistence/EventFileCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "abi/TextCompare.h"
#include "persistence/EventFileKeys.h"
#include "persistence/EventFileName.h"
#include "persistence/profile/ProfileDocument.h"

namespace notecast {
namespace {

constexpr const char* kConsequence = ": starting with no events";

bool isEventFileSection(std::string_view name) {
  const std::string_view entryPrefix = event_file::kEntryPrefix;
  return equalsIgnoringCase(name, event_file::kGeneral) ||
         (name.size() > entryPrefix.size() &&
          equalsIgnoringCase(name.substr(0, entryPrefix.size()), entryPrefix));
}

// Read as the load reads it: a byte-order mark skipped, section headers by the profile rules.
bool hasEventFileSection(std::string text) {
  const std::vector<std::string> names = ProfileDocument::parse(std::move(text)).sectionNames();
  return std::any_of(names.begin(), names.end(),
                     [](const std::string& name) { return isEventFileSection(name); });
}

std::string cannotRead(const std::string& path, int error) {
  return "cannot read event file " + path + " (" + std::strerror(error) + ")" + kConsequence;
}

// Up to kMaxEventFileCheckBytes of `path`; nothing, with errno set, when it cannot be read.
std::optional<std::string> readHead(const std::string& path) {
  // Non-blocking: a named pipe put in the file's place must not hang the caller.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) return std::nullopt;
  std::string text(kMaxEventFileCheckBytes, '\0');
  std::size_t filled = 0;
  while (filled < text.size()) {
    const ssize_t count = ::read(descriptor, text.data() + filled, text.size() - filled);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      const int error = errno;
      ::close(descriptor);
      errno = error;
      return std::nullopt;
    }
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
  }
  ::close(descriptor);
  text.resize(filled);
  return text;
}

}  // namespace

std::string checkEventFile(const std::string& projectBase) {
  if (projectBase.empty()) return {};
  const std::string path = eventFilePath(projectBase);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return "no event file " + path + " yet" + kConsequence;
    return cannotRead(path, errno);
  }
  if (S_ISDIR(info.st_mode)) return "event file " + path + " is a folder" + kConsequence;
  if (!S_ISREG(info.st_mode)) return "event file " + path + " is not a regular file" + kConsequence;
  std::optional<std::string> text = readHead(path);
  if (!text) return cannotRead(path, errno);
  if (text->empty()) return "event file " + path + " is empty" + kConsequence;
  if (!hasEventFileSection(std::move(*text))) {
    return "event file " + path +
           " has neither a [General] nor an [Entry_N] section, so it is no event file" +
           kConsequence;
  }
  return {};
}

}  // namespace notecast
