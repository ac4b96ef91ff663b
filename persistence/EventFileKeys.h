#pragma once
// The event file's sections and keys, with the defaults a read uses. One table, read and written
// by one loop in each operation, so load, save and comparison always agree on order and defaults.

#include <array>
#include <cstdint>

#include "engine/MidiEvent.h"

namespace notecast::event_file {

inline constexpr const char* kGeneral = "General";
inline constexpr const char* kEntryPrefix = "Entry_";
inline constexpr const char* kWarning = "WARNING";
inline constexpr const char* kWarningText = "DO NOT EDIT UNLESS YOU KNOW WHAT YOU ARE DOING!";
inline constexpr const char* kDevice = "MIDIOutputDevice";
inline constexpr const char* kCount = "Count";
inline constexpr const char* kShareName = "ShareName";

struct NumericKey {
  const char* name;
  MidiEventField field;
  std::int32_t defaultValue;
};

// The numeric keys of an entry section in the order a save writes them; "ShareName" comes after
// "Share" and before "Typ".
inline constexpr std::array<NumericKey, 8> kNumericKeysBeforeName = {{
    {"DMXChannel", MidiEventField::DMXChannel, 0},
    {"Data1", MidiEventField::Data1, 0},
    {"Data2", MidiEventField::Data2, 0},
    {"MIDIMessage", MidiEventField::MIDIMessage, 144},
    {"Value", MidiEventField::Value, 127},
    {"SendNoteOff", MidiEventField::SendNoteOff, 0},
    {"SendOnlyOnce", MidiEventField::SendOnlyOnce, 0},
    {"Share", MidiEventField::Share, 0},
}};
inline constexpr NumericKey kTyp = {"Typ", MidiEventField::Typ, 0};

}  // namespace notecast::event_file
