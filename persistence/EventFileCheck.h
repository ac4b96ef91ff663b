#pragma once
// A look at a project's event file before the plug-in loads it. The plug-in starts with no events
// from a file it cannot use and says nothing on load; a host asks this first so that an operator
// starting a show hears which file it was and why. A plausibility check only (the load decides
// what the file holds): it reads the whole file as it streams past (EventFileOutline.h) and
// looks, by the profile rules, for the sections an event file has, [General] or [Entry_N], for
// more entries than the table holds (a save of what loaded would drop the others, so it is
// refused), and for [Entry_N] sections beyond the last entry the file's Count= lets the load
// read: those are silently left out, and a save of what loaded drops them for good. A file
// larger than a load takes (ProfileDocument::kMaxFileBytes) is named with its size.
//
// Contract: any thread; keeps no state. Never waits on the file: a named pipe in its place is
// reported as no regular file at once.

#include <string>

namespace notecast {

// What is wrong with the event file of `projectBase`, as one line naming the file ("no event file
// show.Notecast yet: starting with no events", "no folder /x for project /x/show: ...", "event
// file show.Notecast: Count=9x cannot be used: 1 of its 10 entries load; a save keeps only
// those", "event file show.Notecast holds 200000 entries; the table keeps the first 32767, and a
// save is refused while it would drop the other 167233"); "" when it looks like an event file
// whose entries all load, or no project is open (empty base).
// `consequence` ends the lines of a file that loads no events at all; a reload, which keeps the
// running events instead, passes "". With `blanks`, a Count= beyond the last entry is told too
// ("event file show.Notecast: Count=20 but the entries stop at Entry_9: 11 blank events load; a
// save writes them"); a reload, which refuses every file this names, leaves it out: such a file
// loads all its entries.
inline constexpr const char* kStartsWithNoEvents = ": starting with no events";
std::string checkEventFile(const std::string& projectBase,
                           const std::string& consequence = kStartsWithNoEvents,
                           bool blanks = true);

}  // namespace notecast
