#pragma once
// One profile file (an INI file) in memory, read and written as the Windows profile functions
// GetPrivateProfileStringA and WritePrivateProfileStringA do, so that files move between the
// Windows and Linux versions byte for byte. Names and values are UTF-8 here and Windows-1252 in
// the file (see Windows1252.h).
//
// Reading: section and key names match ignoring case and the blanks around them. The value is
// the text after the first "=", trimmed of blanks; a value in a matching pair of double or single
// quotes comes without them. It is cut at kMaxValueBytes bytes of the file's text. A missing
// section or key gives the default; a present empty value is empty. A key line without "=" gives
// the default too. Where a section or key appears twice, the first counts.
//
// A UTF-8 byte-order mark at the file's start is skipped, and a save writes the file without it.
//
// Writing: a missing section is added at the file's end, as a "[name]" line and the key's line;
// an existing key's line becomes "key=value" (the key spelled as in the file); a new key goes
// after the last non-blank line of its section. Names are written trimmed, values unchanged
// (leading and trailing blanks kept). A line break inside a name or value is written as a blank,
// so it cannot break the file's lines. Every other line keeps its bytes; new lines end in CR LF.
//
// The file's bytes stay in one buffer (changed lines are added to its end) and lines are linked
// in file order, so loading costs no allocation per line and a new line is an O(1) insertion; a
// run of blank lines is kept as one line, and the tables are counted before they are filled.
// Sections are found through a hash index (and the last one found is remembered, as calls come
// section by section); keys of a small section by a look at its few lines, which lie together in
// memory, and keys of a large one through a hash index. So a read or write costs the same in a
// file of ten keys as in one of 330 000. Not thread-safe: one document belongs to one operation.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "persistence/profile/ProfileIndex.h"
#include "persistence/profile/ProfileLine.h"

namespace notecast {

class ProfileDocument {
 public:
  // The reads' cut: the Windows functions read into a buffer of 1024 bytes.
  static constexpr std::size_t kMaxValueBytes = 1023;
  // The largest file load() takes, and save() writes. A document costs about three times its
  // file's size (a file of 200 000 event file entries, 27 MB: 89 MB; blank lines next to
  // nothing), but a file of nothing but two-byte lines thirteen times: the limit keeps that near
  // 430 MB. A full event table with the usual names takes 5 MB.
  static constexpr std::uint64_t kMaxFileBytes = std::uint64_t{32} << 20;

  // An empty file.
  ProfileDocument();

  // The document of a file's bytes.
  static ProfileDocument parse(std::string fileBytes);
  // A stored value as a read gives it: one pair of matching quotes removed, then the cut.
  static std::string_view readValue(std::string_view value) noexcept;
  // How many bytes at text's start are a UTF-8 byte-order mark (0 or 3).
  static std::size_t byteOrderMarkSize(std::string_view text) noexcept;
  // The document of the file at path. A missing file gives an empty document; so does a path
  // that cannot be read (a directory, no permission), is no regular file (a fifo or device is
  // refused without waiting for a writer) or is larger than kMaxFileBytes (EFBIG), and
  // loadError() then tells why.
  static ProfileDocument load(const std::string& path);

  // The errno of a failed load of an existing path, or 0. Saving such a document fails (it would
  // replace a file whose content it never saw) until clear() is called.
  int loadError() const noexcept { return loadError_; }

  // GetPrivateProfileStringA's value (UTF-8), or defaultValue unchanged.
  std::string getString(std::string_view section, std::string_view key,
                        std::string_view defaultValue) const;
  // WritePrivateProfileStringA. Returns false when the key already had this value.
  bool setString(std::string_view section, std::string_view key, std::string_view value);

  // The same for a text that must come back whole, such as a name another system gives: where
  // Windows-1252 cannot hold it, it is written as UTF-8 (Windows1252::toFileText), and a read
  // takes either form (Windows1252::fromFileText).
  std::string getWholeText(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
  bool setWholeText(std::string_view section, std::string_view key, std::string_view value);

  // The names of the file's section headers (UTF-8), in file order, as often as they appear.
  std::vector<std::string> sectionNames() const;

  // Forgets every line, as if the file had been deleted.
  void clear();
  bool empty() const noexcept { return tail_ == kStart; }

  // The file's bytes.
  std::string bytes() const;
  // Replaces the file at path by bytes() atomically (AtomicFile::replace). Throws FileSaveError,
  // also for bytes() beyond kMaxFileBytes: a file that could not be loaded again is not written.
  void save(const std::string& path) const;

 private:
  // Line kStart holds no bytes: it stands before the file's first line, as the header of the
  // section of lines before the first real header (the section "", number 0).
  static constexpr std::uint32_t kStart = 0;

  // A section with more key lines than this has its keys in the key index.
  static constexpr std::uint32_t kMaxScannedKeys = 16;

  struct Section {
    std::uint32_t header;       // its header line
    std::uint32_t last;         // its last line
    std::uint32_t lastContent;  // its last line that is not blank (or the header)
    std::uint32_t keys = 0;     // how many key lines it has
    bool indexed = false;       // its keys are in keyIndex_
  };

  // The bytes a read gives (quotes removed, cut), or nothing for a missing section or key.
  std::optional<std::string_view> valueBytes(std::string_view section, std::string_view key) const;
  // Writes the key's value as these file bytes, which MUST NOT hold line breaks.
  bool setBytes(std::string_view section, std::string_view key, std::string_view text);
  std::uint32_t findSection(std::string_view name) const;
  std::uint32_t findKey(std::uint32_t section, std::string_view name) const;
  void addParsedLine(ProfileLine line);
  // Counts the new key line `id` of its section; indexes it, or the whole section once it grows
  // past kMaxScannedKeys.
  void addKey(std::uint32_t id);
  std::uint32_t appendSection(std::string_view name);
  void insertKey(std::uint32_t section, std::string_view key, std::string_view value);
  void rewriteKey(ProfileLine& line, std::string_view value);
  // Puts line into the file after line `after`; returns its number.
  std::uint32_t link(ProfileLine line, std::uint32_t after);
  // Ends the line with CR LF if it has no line end (the file's last line), so a line can follow.
  void terminate(std::uint32_t line);
  // Adds a line's new text (MUST NOT point into the buffer) to the buffer; sets its place.
  void store(ProfileLine& line, std::string_view text);

  std::string buffer_;
  std::vector<ProfileLine> lines_;
  std::vector<Section> sections_;
  ProfileIndex sectionIndex_;  // section names -> first section of that name
  ProfileIndex keyIndex_;      // (section, key name) -> first key line of that name
  // The last section looked up: calls come section by section.
  mutable std::string lastSectionName_;
  mutable std::uint32_t lastSection_ = ProfileIndex::kNone;
  std::uint32_t tail_ = kStart;  // the file's last line
  int loadError_ = 0;
};

}  // namespace notecast
