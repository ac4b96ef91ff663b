#include "persistence/EventFileCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "abi/Boundary.h"
#include "abi/TextCompare.h"
#include "os/NumberText.h"
#include "persistence/EventFile.h"
#include "persistence/EventFileKeys.h"
#include "persistence/EventFileName.h"
#include "persistence/profile/ProfileDocument.h"

namespace notecast {
namespace {

bool isEventFileSection(std::string_view name) {
  const std::string_view entryPrefix = event_file::kEntryPrefix;
  return equalsIgnoringCase(name, event_file::kGeneral) ||
         (name.size() > entryPrefix.size() &&
          equalsIgnoringCase(name.substr(0, entryPrefix.size()), entryPrefix));
}

// The index of an entry section as a load could ask for it: "Entry_" and the index in decimal
// without sign or leading zeros (the profile rules have matched case and blanks already).
std::optional<std::uint64_t> entryIndex(std::string_view name) {
  const std::string_view entryPrefix = event_file::kEntryPrefix;
  if (name.size() <= entryPrefix.size() ||
      !equalsIgnoringCase(name.substr(0, entryPrefix.size()), entryPrefix))
    return std::nullopt;
  const std::string_view digits = name.substr(entryPrefix.size());
  if (digits.size() > 1 && digits.front() == '0') return std::nullopt;
  std::uint64_t index = 0;
  const char* const end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, index);
  if (error != std::errc() || stop != end) return std::nullopt;
  return index;
}

// A value quoted in the line: short, and without control bytes that would garble a terminal.
std::string shownValue(std::string_view value) {
  constexpr std::size_t kMaxQuoted = 40;
  std::string text(value.substr(0, kMaxQuoted));
  std::replace_if(
      text.begin(), text.end(),
      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, '?');
  if (value.size() > kMaxQuoted) text += "...";
  return text;
}

// The blank events a Count= beyond the last entry section loads, which a save then writes as
// entries; "" when Count= ends at the last entry (or the file holds none and Count=0).
std::string blankEntries(const std::vector<std::uint64_t>& indices, std::int32_t highest,
                         const std::string& countText, const std::string& path) {
  const std::int64_t last = indices.empty() ? -1 : static_cast<std::int64_t>(indices.back());
  if (highest <= last || (indices.empty() && highest == 0)) return {};
  const std::int64_t blanks = highest - last;
  const std::string stop =
      indices.empty()
          ? std::string("the file holds no entries")
          : "the entries stop at " + std::string(event_file::kEntryPrefix) + std::to_string(last);
  return "event file " + path + ": Count=" + shownValue(countText) + " but " + stop + ": " +
         std::to_string(blanks) + (blanks == 1 ? " blank event loads" : " blank events load") +
         "; a save writes them";
}

// The entry sections a load leaves out, which a save then drops, named with the Count= that
// leaves them out; "" when every entry section loads (or, with `blanks`, the blank events a
// Count= beyond the last entry loads).
std::string lostEntries(const ProfileDocument& document, const std::string& path, bool blanks) {
  std::vector<std::uint64_t> indices;
  for (const std::string& name : document.sectionNames()) {
    if (const auto index = entryIndex(name)) indices.push_back(*index);
  }
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());

  // No value holds a line break: it stands for a missing key.
  constexpr std::string_view kMissing = "\n";
  const std::string countText =
      document.getString(event_file::kGeneral, event_file::kCount, kMissing);
  const bool missing = countText == kMissing;
  const std::int32_t highest = EventFile::highestLoadedEntry(missing ? "0" : countText);
  const auto loaded = static_cast<std::size_t>(
      std::upper_bound(indices.begin(), indices.end(), static_cast<std::uint64_t>(highest)) -
      indices.begin());
  if (loaded == indices.size())
    return blanks && !missing ? blankEntries(indices, highest, countText, path) : std::string();

  std::int32_t written = -1;
  if (!missing) runStep([&] { written = toInt32(countText); });
  std::string reason;
  if (missing) {
    reason = " has no Count=";
  } else if (written < 0) {
    reason = ": Count=" + shownValue(countText) + " cannot be used";
  } else {
    reason = ": Count=" + shownValue(countText) + " reaches " + event_file::kEntryPrefix +
             std::to_string(highest) + " only";
  }
  return "event file " + path + reason + ": " + std::to_string(loaded) + " of its " +
         std::to_string(indices.size()) + (indices.size() == 1 ? " entry" : " entries") +
         " load; a save keeps only those";
}

std::string cannotRead(const std::string& path, int error, const std::string& consequence) {
  return "cannot read event file " + path + " (" + std::strerror(error) + ")" + consequence;
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

// The folder part of `path` as written; "" for a name in the working folder.
std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool isFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string checkEventFile(const std::string& projectBase, const std::string& consequence,
                           bool blanks) {
  if (projectBase.empty()) return {};
  const std::string path = eventFilePath(projectBase);
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    const int error = errno;
    const std::string folder = folderOf(path);
    if ((error == ENOENT || error == ENOTDIR) && !folder.empty() && !isFolder(folder))
      return "no folder " + folder + " for project " + projectBase + consequence;
    if (error == ENOENT)
      return "no event file " + path + (consequence.empty() ? "" : " yet") + consequence;
    return cannotRead(path, error, consequence);
  }
  if (S_ISDIR(info.st_mode)) return "event file " + path + " is a folder" + consequence;
  if (!S_ISREG(info.st_mode)) return "event file " + path + " is not a regular file" + consequence;
  std::optional<std::string> text = readHead(path);
  if (!text) return cannotRead(path, errno, consequence);
  if (text->empty()) return "event file " + path + " is empty" + consequence;
  // Read as the load reads it: a byte-order mark skipped, section headers by the profile rules.
  const ProfileDocument document = ProfileDocument::parse(std::move(*text));
  const std::vector<std::string> names = document.sectionNames();
  if (std::none_of(names.begin(), names.end(), isEventFileSection)) {
    return "event file " + path +
           " has neither a [General] nor an [Entry_N] section, so it is no event file" +
           consequence;
  }
  return lostEntries(document, path, blanks);
}

}  // namespace notecast
