#pragma once
// The MIDI message kinds a user picks for an event, in the order of the window's message list,
// each with the status value it stands for on MIDI channel 1.

#include <array>
#include <cstdint>

namespace notecast {

struct MessageKind {
  const char* caption;
  std::int32_t baseValue;
};

inline constexpr std::array<MessageKind, 8> kMessageKinds = {{
    {"Note Off (0x80)", 128},
    {"Note On (0x90)", 144},
    {"Aftertouch (0xA0)", 160},
    {"Continous controller (0xB0)", 176},
    {"Patch Change (0xC0)", 192},
    {"Channel Pressure (0xD0)", 208},
    {"Pitch bend (0xE0)", 224},
    {"Custom", 0},
}};

inline constexpr int kCustomMessageRow = 7;
inline constexpr std::int32_t kFirstStatusValue = 128;  // below this a message is "Custom"
inline constexpr std::int32_t kNoteOffBase = 128;

// The MIDI channel nibble of a status value: the remainder modulo 16 with the sign of the
// status value (so a negative status gives a negative channel), as the stored files expect.
constexpr std::int32_t midiChannelOf(std::int32_t midiMessage) {
  return midiMessage % 16;
}

// The status byte of the note-off that follows an event's message on its channel.
constexpr std::int32_t noteOffStatusFor(std::int32_t midiMessage) {
  return midiChannelOf(midiMessage) + kNoteOffBase;
}

// The row of kMessageKinds that shows a status value: "Custom" below 128, otherwise the row
// whose base value equals the value minus its channel; -1 when no row does (e.g. 0xF0 and up).
int messageKindRow(std::int32_t midiMessage);

}  // namespace notecast
