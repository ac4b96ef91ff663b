#pragma once
// One event: the DMX channel it watches, its trigger, and the MIDI message it sends.

#include <cstdint>
#include <string>

namespace notecast {

struct MidiEvent {
  std::int32_t DMXChannel = 0;   // matched for equality against the host's channel number
  std::int32_t Value = 0;        // threshold of the two threshold event types
  std::int32_t Typ = 0;          // EventType code; other values send nothing
  std::int32_t MIDIMessage = 0;  // whole status byte: kind in the high nibble, channel in the low
  std::int32_t Data1 = 0;
  std::int32_t Data2 = 0;
  std::int32_t SendNoteOff = 0;   // check-box state 0/1; hand-edited files may hold others
  std::int32_t SendOnlyOnce = 0;  // check-box state, any non-zero value counts as on
  std::int32_t Share = 0;         // check-box state, any non-zero value counts as on
  std::string ShareName;          // name offered to the host's commands (UTF-8)

  // The blank entry: every number 0, empty share name (what a clear leaves).
  static MidiEvent blank() { return {}; }
  // A new entry as the user adds it: a note-on on MIDI channel 1 above 127.
  static MidiEvent added() {
    MidiEvent event;
    event.Value = 127;
    event.MIDIMessage = 144;
    return event;
  }

  friend bool operator==(const MidiEvent&, const MidiEvent&) = default;
};

// The numeric fields, in record order, for changes through the event table.
enum class MidiEventField {
  DMXChannel,
  Value,
  Typ,
  MIDIMessage,
  Data1,
  Data2,
  SendNoteOff,
  SendOnlyOnce,
  Share,
};

// The member of MidiEvent that a field names: event.*memberOf(field).
constexpr std::int32_t MidiEvent::*memberOf(MidiEventField field) {
  switch (field) {
    case MidiEventField::DMXChannel:
      return &MidiEvent::DMXChannel;
    case MidiEventField::Value:
      return &MidiEvent::Value;
    case MidiEventField::Typ:
      return &MidiEvent::Typ;
    case MidiEventField::MIDIMessage:
      return &MidiEvent::MIDIMessage;
    case MidiEventField::Data1:
      return &MidiEvent::Data1;
    case MidiEventField::Data2:
      return &MidiEvent::Data2;
    case MidiEventField::SendNoteOff:
      return &MidiEvent::SendNoteOff;
    case MidiEventField::SendOnlyOnce:
      return &MidiEvent::SendOnlyOnce;
    case MidiEventField::Share:
      return &MidiEvent::Share;
  }
  return &MidiEvent::DMXChannel;
}

}  // namespace notecast
