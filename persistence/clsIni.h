#pragma once
// Access to one INI file, as the plug-in has always had it: GetIni and SaveIni read and write
// single keys with the Windows profile functions' rules (persistence/profile/ProfileDocument.h), so
// the file's bytes are those that key-by-key GetPrivateProfileStringA/WritePrivateProfileStringA
// calls would give on Windows. Names and values are UTF-8; the file is Windows-1252.
//
// One instance serves one operation (loading or saving a settings file): it reads the file once,
// at the first call that needs it, and writes it once, at commit(), atomically (a complete new
// file renamed over the old one). Reads see the operation's own writes before the commit.
//
// Contract:
//  - The caller MUST call commit() at the end of an operation that wrote or reset. The
//    destructor does NOT write: uncommitted changes are dropped, so a failed save is always
//    reported by commit()'s exception and never lost in a destructor.
//  - Reset() MUST NOT be used to clear a read-only file: it throws at once, and so would the
//    commit of any write to that file; the file stays as it was.
//  - An instance MUST NOT be shared between threads.

#include <optional>
#include <string>

#include "persistence/profile/ProfileDocument.h"

namespace notecast {

class clsIni {
 public:
  clsIni() = default;
  explicit clsIni(std::string fileName) : fileName_(std::move(fileName)) {}

  const std::string& FileName() const noexcept { return fileName_; }
  // Names the file. Starts over: a loaded document and uncommitted changes are dropped.
  void setFileName(const std::string& fileName);

  // The key's value, or defaultValue when the file, section or key is missing (an empty value
  // is "", not the default). Values are cut at 1023 bytes of the file's text.
  std::string GetIni(const std::string& section, const std::string& key,
                     const std::string& defaultValue = {}) const;
  // Sets the key's value (written as given, blanks included; line breaks become blanks).
  void SaveIni(const std::string& section, const std::string& key, const std::string& value);

  // GetIni and SaveIni for a text that must come back whole (a name another system gives, which
  // may hold characters Windows-1252 lacks): stored as UTF-8 where the code page cannot hold it.
  std::string getWholeText(const std::string& section, const std::string& key,
                           const std::string& defaultValue = {}) const;
  void saveWholeText(const std::string& section, const std::string& key, const std::string& value);

  // Empties the file, as deleting it would: reads give defaults, and commit() deletes the file,
  // or (after writes) puts the new content in its place. The old file stays on disk until then.
  // Throws FileSaveError when the file could not be deleted (read-only, or not a file).
  void Reset();

  // Writes what changed: deletes the file after a Reset() without writes, otherwise replaces it
  // atomically; does nothing when nothing changed. Throws FileSaveError with the reason (no
  // file name, read-only file, missing directory, full disk, ...); the old file is then as it
  // was, and the changes stay pending.
  void commit();

  // True for an existing regular file (or a link to one); false for "" and directories.
  static bool FileExists(const std::string& path);

 private:
  ProfileDocument& document() const;

  std::string fileName_;
  mutable std::optional<ProfileDocument> document_;  // loaded at first use
  bool reset_ = false;
  bool dirty_ = false;
};

}  // namespace notecast
