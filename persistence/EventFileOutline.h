#pragma once
// What a look through a whole event file finds without loading it: whether it has the sections of
// an event file, the indices of its [Entry_N] sections, and the Count= a load reads, each by the
// rules a load reads them (profile/ProfileDocument.h). The file streams past: memory grows with
// its entry sections only, never with its other lines.
//
// Contract: any thread; keeps no state.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace notecast {

struct EventFileOutline {
  bool eventSections = false;          // a [General] or an [Entry_N] section
  std::vector<std::uint64_t> entries;  // the indices of the entry sections, ascending, each once
  std::optional<std::string> count;    // Count= of the first [General] (UTF-8); nothing if missing

  // The outline of the file at `path`; nothing, with `error` set to the errno, when it cannot be
  // read. Never waits: a named pipe in the file's place is read as far as it has been written.
  static std::optional<EventFileOutline> read(const std::string& path, int& error);

  // How many entry sections have an index of at most `last`.
  std::size_t entriesUpTo(std::int64_t last) const;

  // Entries that Count= reaches beyond what the table holds (EventTable::kMaxRecords): how many
  // entry sections Count= reaches (held) and how many of them the table keeps. Nothing when the
  // table can hold every entry Count= reaches.
  struct Overflow {
    std::size_t held;
    std::size_t kept;
  };
  std::optional<Overflow> beyondTable() const;
};

}  // namespace notecast
