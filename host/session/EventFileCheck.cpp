#include "host/session/EventFileCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "abi/TextCompare.h"

namespace notecast::host {
namespace {

constexpr const char* kConsequence = ": starting with no events";
constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kLineEnds = "\r\n";

std::string_view trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A section line as the profile rules read it: '[' first, the name up to the last ']', blanks
// around the name dropped.
bool isEventFileSection(std::string_view line) {
  const std::string_view text = trim(line);
  const std::size_t close = text.rfind(']');
  if (text.empty() || text.front() != '[' || close == std::string_view::npos) return false;
  const std::string_view name = trim(text.substr(1, close - 1));
  constexpr std::string_view kEntryPrefix = "Entry_";
  return equalsIgnoringCase(name, "General") ||
         (name.size() > kEntryPrefix.size() &&
          equalsIgnoringCase(name.substr(0, kEntryPrefix.size()), kEntryPrefix));
}

bool hasEventFileSection(std::string_view text) {
  // A UTF-8 byte-order mark before the first line is no part of it, for the plug-in either.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    text.remove_prefix(kByteOrderMark.size());
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find_first_of(kLineEnds, start), text.size());
    if (isEventFileSection(text.substr(start, end - start))) return true;
    start = end + 1;
  }
  return false;
}

std::string cannotRead(const std::string& path, int error) {
  return "cannot read event file " + path + " (" + std::strerror(error) + ")" + kConsequence;
}

// Up to kMaxEventFileBytes of `path`; nothing, with errno set, when it cannot be read.
std::optional<std::string> readHead(const std::string& path) {
  // Non-blocking: a named pipe put in the file's place must not hang the start.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) return std::nullopt;
  std::string text(kMaxEventFileBytes, '\0');
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

std::string eventFilePath(const std::string& projectBase) {
  return projectBase + kEventFileSuffix;
}

std::optional<std::string> checkEventFile(const std::string& projectBase) {
  if (projectBase.empty()) return std::nullopt;
  const std::string path = eventFilePath(projectBase);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return "no event file " + path + " yet" + kConsequence;
    return cannotRead(path, errno);
  }
  if (S_ISDIR(info.st_mode)) return "event file " + path + " is a folder" + kConsequence;
  if (!S_ISREG(info.st_mode)) return "event file " + path + " is not a regular file" + kConsequence;
  const std::optional<std::string> text = readHead(path);
  if (!text) return cannotRead(path, errno);
  if (text->empty()) return "event file " + path + " is empty" + kConsequence;
  if (!hasEventFileSection(*text)) {
    return "event file " + path +
           " has neither a [General] nor an [Entry_N] section, so it is no event file" +
           kConsequence;
  }
  return std::nullopt;
}

}  // namespace notecast::host
