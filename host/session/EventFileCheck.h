#pragma once
// The host's look at the project's event file before the plug-in loads it. The plug-in starts
// with no events from a file it cannot use and says nothing; an operator starting a show should
// hear which file it was and why. This is a plausibility check only (the plug-in's own reader
// decides what the file holds): it reads at most kMaxBytes and looks for the section headers an
// event file has, [General] or [Entry_N], in any case.

#include <cstddef>
#include <optional>
#include <string>

namespace notecast::host {

// The plug-in keeps a project's settings in the project's base name with this suffix.
inline constexpr const char* kEventFileSuffix = ".Notecast";
// Event files are a few kilobytes; anything bigger is read this far only.
inline constexpr std::size_t kMaxEventFileBytes = std::size_t{4} * 1024 * 1024;

// `projectBase` + kEventFileSuffix.
std::string eventFilePath(const std::string& projectBase);

// What is wrong with the event file of `projectBase`, as one line naming the file ("no event file
// show.Notecast yet: starting with no events"); nothing when it looks like an event file or no
// project is open (empty base).
std::optional<std::string> checkEventFile(const std::string& projectBase);

}  // namespace notecast::host
