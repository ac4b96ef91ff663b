#pragma once
// The trigger kinds of an event, stored in MidiEvent::Typ; the code is also the row of the
// event choice list in the window.

#include <array>
#include <cstdint>

namespace notecast {

enum class EventType : std::int32_t {
  AboveValue = 0,      // channel value at or above Value
  BelowValue = 1,      // channel value at or below Value
  ValueChange = 2,     // every change of the channel
  Data1FromValue = 3,  // Data1 replaced by the channel value / 2
  Data2FromValue = 4,  // Data2 replaced by the channel value / 2
};

inline constexpr std::array<const char*, 5> kEventTypeCaptions = {
    "Send static MSG on Channelvalue > Value", "Send static MSG on Channelvalue < Value",
    "Send static MSG on Channelvaluechange",   "Send MSG with Data1 = Channelvalue",
    "Send MSG with Data2 = Channelvalue",
};

}  // namespace notecast
