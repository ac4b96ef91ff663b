#pragma once
// The event table: the zero-based, ordered list of events with each record's run-time once
// flags. Two states: never dimensioned (before the first load) and dimensioned with at least one
// record; once dimensioned it never becomes empty again (a clear or the deletion of the only
// record leaves the blank record).
//
// Every change goes through the operations below, which count changes (changeCount), so that a
// view or index built on the table can tell when it is stale. No mutable reference to a record
// is handed out. Owned by the configuration window; used on the user-interface thread only.

#include <cstdint>
#include <string>
#include <vector>

#include "abi/Variant.h"
#include "engine/MidiEvent.h"

namespace notecast {

class EventTable {
 public:
  // The window addresses rows with 16-bit signed positions, so the table holds at most 32767
  // records; the dispatch's 16-bit record index can therefore never overflow.
  static constexpr std::int32_t kMaxRecords = 32767;

  // --- reads ---
  // True while the table has never been dimensioned.
  bool IsArrayEmpty() const noexcept { return !dimensioned_; }
  // The highest index (records - 1), not the count; subscript error 9 when never dimensioned.
  std::int32_t GetEventCount() const;
  // The record's ShareName when its Share is non-zero, otherwise ""; error 9 outside the table.
  Variant GetShareName(std::int32_t index) const;

  std::int32_t size() const noexcept { return static_cast<std::int32_t>(records_.size()); }
  // The record at index; subscript error 9 outside the table.
  const MidiEvent& record(std::int32_t index) const;
  bool onceAbove(std::int32_t index) const;
  bool onceBelow(std::int32_t index) const;
  std::uint64_t changeCount() const noexcept { return changeCount_; }

  // --- changes ---
  // Replaces the whole table (an event file load): at least one record (a load of nothing gives
  // the blank record), at most kMaxRecords; every once flag cleared.
  void assign(std::vector<MidiEvent> records);
  // The single blank record with cleared flags (a clear of the window).
  void reset();
  // Appends a record with cleared flags; false (and nothing changes) at kMaxRecords. On a never
  // dimensioned table the record becomes the first.
  bool append(const MidiEvent& record);
  // Removes the record and its flags; the records after it move up one place. Removing the only
  // record leaves the blank record. Error 9 outside the table.
  void remove(std::int32_t index);
  void setField(std::int32_t index, MidiEventField field, std::int32_t value);
  void setShareName(std::int32_t index, const std::string& name);
  void setOnceAbove(std::int32_t index, bool set);
  void setOnceBelow(std::int32_t index, bool set);

 private:
  struct OnceFlags {
    bool above = false;
    bool below = false;
  };

  void checkIndex(std::int32_t index) const;

  std::vector<MidiEvent> records_;
  std::vector<OnceFlags> once_;  // beside records_, same indices
  bool dimensioned_ = false;
  std::uint64_t changeCount_ = 0;
};

}  // namespace notecast
