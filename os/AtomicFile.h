#pragma once
// Replacing and deleting a file so that a failure never leaves it half-written or missing: the
// new content goes into a file beside it (same directory, so the same file system), is flushed
// to the disk, then renamed over the old one, and the directory is flushed too. Until the rename
// the old file is untouched; after it the new one is complete.
//
// The file beside it is ".<name>.<pid>-<counter>-<clock>.tmp" (a name too long for that keeps its
// start, a hash of the whole and its extension). One left by a killed process is deleted by the
// next replace of the same file once that process has ended.
//
// Where no file can be made beside it (a folder the user may not write in, a path too long) an
// existing file is written in place instead: it keeps its owner, group and bits (but set-user-id
// and set-group-id), and a failed write puts the old content back, but a crash or kill midway
// leaves it partly written.
//
// A file without any write permission bit is read-only (as the Windows read-only attribute): it
// is neither replaced nor deleted, whoever runs the program (root included, whom the system
// itself would let write). Failures throw FileSaveError with the reason.

#include <string>
#include <string_view>

namespace notecast {

class AtomicFile {
 public:
  // Puts content in place of the file at path (created when missing). A replaced file keeps its
  // permission bits but set-user-id and set-group-id, and its group (and owner, where allowed: a
  // user who is not root becomes the owner, the group stays where that user belongs to it); a new
  // one gets 0666 less the umask. A symbolic link is followed and stays: the file it names is
  // replaced, or made where it does not exist yet (targetOf). Fails when the directory is missing,
  // a new file cannot be created, the file is read-only, path is a directory, or the disk is full
  // (ENOSPC, EFBIG); the old file is then as it was.
  static void replace(const std::string& path, std::string_view content);

  // The file replace() writes for path: path itself, or the file its symbolic link names (at the
  // end of a chain of links, also when that file does not exist). Throws FileSaveError for a
  // link that cannot be read or a loop of links (ELOOP).
  static std::string targetOf(const std::string& path);

  // Deletes the file at path (a symbolic link: the link); a missing file is no error. Fails (the
  // file stays) when it is read-only or cannot be deleted.
  static void remove(const std::string& path);

  // Throws what replace() or remove() would throw for the file's own state (read-only, not a
  // regular file), without changing anything. A missing file passes.
  static void checkReplaceable(const std::string& path);
};

}  // namespace notecast
