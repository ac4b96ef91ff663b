#include "persistence/EventFileCheck.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "abi/Boundary.h"
#include "engine/EventTable.h"
#include "os/NumberText.h"
#include "persistence/EventFile.h"
#include "persistence/EventFileKeys.h"
#include "persistence/EventFileName.h"
#include "persistence/EventFileOutline.h"
#include "persistence/profile/ProfileDocument.h"

namespace notecast {
namespace {

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

// The entry sections a load leaves out, named with what leaves them out: the table's size (a
// save is then refused) or the file's Count= (a save then drops them); "" when every entry
// section loads (or, with `blanks`, the blank events a Count= beyond the last entry loads).
std::string lostEntries(const EventFileOutline& outline, const std::string& path, bool blanks) {
  if (const auto overflow = outline.beyondTable()) {
    return "event file " + path + " holds " + std::to_string(overflow->held) +
           " entries; the table keeps the first " + std::to_string(EventTable::kMaxRecords) +
           ", and a save is refused while it would drop the other " +
           std::to_string(overflow->held - overflow->kept);
  }
  const std::vector<std::uint64_t>& indices = outline.entries;
  const bool missing = !outline.count;
  const std::string countText = outline.count.value_or("0");
  const std::int32_t highest = EventFile::highestLoadedEntry(countText);
  const std::size_t loaded = outline.entriesUpTo(highest);
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
  if (static_cast<std::uint64_t>(info.st_size) > ProfileDocument::kMaxFileBytes) {
    return "event file " + path + " is " + mebibytesText(static_cast<std::uint64_t>(info.st_size)) +
           ", more than the " + mebibytesText(ProfileDocument::kMaxFileBytes) +
           " an event file may be" + consequence;
  }
  int error = 0;
  const std::optional<EventFileOutline> outline = EventFileOutline::read(path, error);
  if (!outline) return cannotRead(path, error, consequence);
  if (info.st_size == 0) return "event file " + path + " is empty" + consequence;
  if (!outline->eventSections) {
    return "event file " + path +
           " has neither a [General] nor an [Entry_N] section, so it is no event file" +
           consequence;
  }
  return lostEntries(*outline, path, blanks);
}

}  // namespace notecast
