#pragma once
// What a save of the event file must not write over, looked at before anything is written: the
// file it names through a symbolic link, unless that file reads as an event file (the sections the
// check looks for, EventFileCheck.h) or does not exist yet; and, for a save of the whole table,
// a file the load refused for its size, or one that holds more entries than the table, whose
// others the save would drop. The file then stays as it is.
//
// Contract: any thread; keeps no state.

#include <string>

namespace notecast {

// Throws FileSaveError with the reason when `path` is a symbolic link to a file that exists and
// is no event file, or that cannot be read to tell.
void checkEventFileLink(const std::string& path);

// checkEventFileLink, and throws FileSaveError with the reason when the file a save of the whole
// table replaces is larger than a load takes, or holds entries beyond the table that its Count=
// reaches.
void checkEventFileReplace(const std::string& path);

}  // namespace notecast
