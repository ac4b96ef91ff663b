#include "persistence/EventFileSaveCheck.h"

#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "engine/EventTable.h"
#include "os/AtomicFile.h"
#include "os/FileSaveError.h"
#include "os/NumberText.h"
#include "persistence/EventFileOutline.h"
#include "persistence/profile/ProfileDocument.h"

namespace notecast {
namespace {

void refuseUnsafeSave(const std::string& path, bool wholeTable) {
  const std::string target = AtomicFile::targetOf(path);
  const bool linked = target != path;
  const std::string link = "it is a symbolic link to " + target + ", which ";
  const auto unreadable = [&](int error) {
    return FileSaveError(path, error,
                         link + "cannot be read (" + FileSaveError::describe(error) + ")");
  };
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0) {
    // A file still to be made is written; a link keeps naming it.
    if (errno != ENOENT && linked) throw unreadable(errno);
    return;
  }
  // What is no regular file is refused as the replace refuses it.
  if (!S_ISREG(info.st_mode) || (!linked && !wholeTable)) return;
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > ProfileDocument::kMaxFileBytes) {
    throw FileSaveError(path, EFBIG,
                        "it is " + mebibytesText(size) + ", more than the " +
                            mebibytesText(ProfileDocument::kMaxFileBytes) +
                            " an event file may be, so it was never loaded");
  }
  int error = 0;
  const std::optional<EventFileOutline> outline = EventFileOutline::read(target, error);
  if (!outline) {
    if (linked) throw unreadable(error);
    return;  // as the load could not read it, the save replaces it
  }
  if (linked && !outline->eventSections) {
    throw FileSaveError(path, EINVAL,
                        link + "is no event file (" +
                            (size == 0 ? std::string("it is empty")
                                       : "it has neither a [General] nor an [Entry_N] section") +
                            ")");
  }
  if (const auto overflow = outline->beyondTable(); overflow && wholeTable) {
    throw FileSaveError(
        path, EOVERFLOW,
        "it holds " + std::to_string(overflow->held) + " entries and the table keeps the first " +
            std::to_string(EventTable::kMaxRecords) + ": saving would drop the other " +
            std::to_string(overflow->held - overflow->kept));
  }
}

}  // namespace

void checkEventFileLink(const std::string& path) {
  refuseUnsafeSave(path, false);
}

void checkEventFileReplace(const std::string& path) {
  refuseUnsafeSave(path, true);
}

}  // namespace notecast
