#pragma once
// The event file: the device choice and the event table of one host project, as INI text.
//
//   [General]  WARNING, MIDIOutputDevice, Count (the highest entry index), then the window
//              position (WindowPosition.h)
//   [Entry_n]  the ten keys of entry n, n from 0
//
// Works on plain data handed in by the window; no widgets here. UI thread only.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/EventTable.h"

namespace notecast {

class EventFile {
 public:
  struct Contents {
    std::string deviceName;  // trimmed
    std::vector<MidiEvent> records;
  };

  explicit EventFile(std::string path);

  // Reads the file; never fails: a missing file, key or section reads as its defaults, a value
  // that does not convert loads 0. A negative Count loads one entry; a Count beyond the table's
  // limit loads EventTable::kMaxRecords entries.
  Contents load() const;

  // The index of the last entry load() reads for the text of [General] Count= ("0" when the key
  // is missing): a value that does not convert gives 0, and the result is clamped to the table.
  static std::int32_t highestLoadedEntry(const std::string& countText) noexcept;

  // Replaces the file with the device text (trimmed) and the table. The previous file stays
  // until the new one is complete. Throws a std::runtime_error with the reason when the file
  // cannot be written, or must not be (EventFileSaveCheck.h: a file holding more entries than
  // the table, one too large to load, a symbolic link to a file that is no event file); the
  // previous file is then untouched.
  void save(const std::string& deviceText, const EventTable& table) const;

  // True when the device text (ignoring case and surrounding blanks) or any entry differs from
  // the file. Numbers are compared as numbers; a stored numeric value that is not a number is a
  // type mismatch (RuntimeError 13). Window position keys are not compared.
  bool isModified(const std::string& deviceText, const EventTable& table) const;

 private:
  std::string path_;
};

}  // namespace notecast
