#include "persistence/EventFileOutline.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <string_view>

#include "abi/Boundary.h"
#include "engine/EventTable.h"
#include "os/NumberText.h"
#include "persistence/EventFileKeys.h"
#include "persistence/profile/ProfileDocument.h"
#include "persistence/profile/ProfileName.h"
#include "persistence/profile/ProfileScan.h"
#include "persistence/profile/Windows1252.h"

namespace notecast {
namespace {

// The index of an entry section as a load could ask for it: "Entry_" and the index in decimal
// without sign or leading zeros, the name matched as a load matches it.
std::optional<std::uint64_t> entryIndex(std::string_view name) {
  const std::string_view prefix = event_file::kEntryPrefix;
  if (name.size() <= prefix.size() || !ProfileName::equal(name.substr(0, prefix.size()), prefix))
    return std::nullopt;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.size() > 1 && digits.front() == '0') return std::nullopt;
  std::uint64_t index = 0;
  const char* const end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, index);
  if (error != std::errc() || stop != end) return std::nullopt;
  return index;
}

bool isEventFileSection(std::string_view name) {
  const std::string_view prefix = event_file::kEntryPrefix;
  return ProfileName::equal(name, event_file::kGeneral) ||
         (name.size() > prefix.size() && ProfileName::equal(name.substr(0, prefix.size()), prefix));
}

}  // namespace

std::optional<EventFileOutline> EventFileOutline::read(const std::string& path, int& error) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) {
    error = errno;
    return std::nullopt;
  }
  EventFileOutline outline;
  // A load reads the first [General] and, in it, the first line of a name.
  enum class General { Before, Inside, After } general = General::Before;
  bool countSeen = false;
  error = ProfileScan::read(descriptor, [&](const ProfileLine& line, std::string_view text) {
    const std::string_view name = line.name(text);
    if (line.kind == ProfileLine::Kind::Section) {
      if (general == General::Inside) general = General::After;
      if (general == General::Before && ProfileName::equal(name, event_file::kGeneral))
        general = General::Inside;
      if (isEventFileSection(name)) outline.eventSections = true;
      if (const auto index = entryIndex(name)) outline.entries.push_back(*index);
      return;
    }
    if (general != General::Inside || countSeen || !ProfileName::equal(name, event_file::kCount))
      return;
    countSeen = true;
    if (line.hasValue())
      outline.count = Windows1252::toUtf8(ProfileDocument::readValue(line.value(text)));
  });
  ::close(descriptor);
  if (error != 0) return std::nullopt;
  std::sort(outline.entries.begin(), outline.entries.end());
  outline.entries.erase(std::unique(outline.entries.begin(), outline.entries.end()),
                        outline.entries.end());
  return outline;
}

std::size_t EventFileOutline::entriesUpTo(std::int64_t last) const {
  if (last < 0) return 0;
  return static_cast<std::size_t>(
      std::upper_bound(entries.begin(), entries.end(), static_cast<std::uint64_t>(last)) -
      entries.begin());
}

std::optional<EventFileOutline::Overflow> EventFileOutline::beyondTable() const {
  if (!count) return std::nullopt;
  std::int32_t reached = -1;
  runStep([&] { reached = toInt32(*count); });
  const std::size_t held = entriesUpTo(reached);
  const std::size_t kept = entriesUpTo(EventTable::kMaxRecords - 1);
  if (held <= kept) return std::nullopt;
  return Overflow{held, kept};
}

}  // namespace notecast
