#pragma once
// How the control's three byte properties become one MIDI short message on the wire.
//
// The status byte decides the length, as MIDI defines it:
//   0x80-0xBF, 0xE0-0xEF   3 bytes: note off/on, key pressure, control change, pitch bend
//   0xC0-0xDF              2 bytes: program change, channel pressure (DataByte2 is not sent)
//   0xF1, 0xF3             2 bytes: time code quarter frame, song select
//   0xF2                   3 bytes: song position
//   0xF6, 0xF8, 0xFA-0xFC, 0xFE, 0xFF   1 byte: tune request and the real-time messages
// No other status starts a short message: below 0x80 (that is a data byte), above 0xFF, SysEx
// (0xF0, 0xF7: it has no fixed length) and the undefined 0xF4, 0xF5, 0xF9, 0xFD (no receiver
// knows them, and ALSA cannot carry them).
//
// Data bytes are clamped to 0..127 rather than masked: a DMX level of 200 written as a velocity
// becomes 127 instead of wrapping round to 72, so a rising fader never makes the value fall.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace notecast {

class MidiWire {
 public:
  static constexpr std::int32_t kDataMin = 0x00;
  static constexpr std::int32_t kDataMax = 0x7F;

  // The bytes of the message; empty when `status` cannot start a short message.
  static std::vector<unsigned char> shortMessage(std::int32_t status, std::int32_t data1,
                                                 std::int32_t data2);

  // Number of bytes, status included, of the message `status` starts; 0 when it starts none.
  static std::size_t messageLength(std::int32_t status);

  // A property value as a data byte: clamped to 0..127.
  static unsigned char dataByte(std::int32_t value);
};

}  // namespace notecast
