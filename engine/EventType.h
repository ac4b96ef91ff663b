#pragma once
// The trigger kinds of an event, stored in MidiEvent::Typ, and what each one means: one trait row
// per kind, read by the dispatch (when a record fires, which data byte the channel value replaces)
// and by the window (its caption, which controls it offers). The code is also the row of the
// event choice list in the window.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace notecast {

enum class EventType : std::int32_t {
  AboveValue = 0,      // channel value at or above Value
  BelowValue = 1,      // channel value at or below Value
  ValueChange = 2,     // every change of the channel
  Data1FromValue = 3,  // Data1 replaced by the channel value / 2
  Data2FromValue = 4,  // Data2 replaced by the channel value / 2
};

// Which data byte of the message the channel value replaces.
enum class ValueTarget { None, Data1, Data2 };

// When a threshold type fires; thresholds include equality.
enum class Threshold { None, AtOrAbove, AtOrBelow };

struct EventTypeTraits {
  const char* caption;  // the row's text in the event choice list
  ValueTarget valueTarget;
  // A threshold type fires on its side of Value; its "Send only once" flag silences it until a
  // value on the other side re-arms it. Other types fire on every change.
  Threshold threshold;

  // The message goes out as stored (no byte replaced): only such types offer "Send only once".
  constexpr bool sendsStaticMessage() const { return valueTarget == ValueTarget::None; }
};

inline constexpr std::array<EventTypeTraits, 5> kEventTypes = {{
    {"Send static MSG on Channelvalue > Value", ValueTarget::None, Threshold::AtOrAbove},
    {"Send static MSG on Channelvalue < Value", ValueTarget::None, Threshold::AtOrBelow},
    {"Send static MSG on Channelvaluechange", ValueTarget::None, Threshold::None},
    {"Send MSG with Data1 = Channelvalue", ValueTarget::Data1, Threshold::None},
    {"Send MSG with Data2 = Channelvalue", ValueTarget::Data2, Threshold::None},
}};

// The traits of a stored type code; nothing for a code no type has (a hand-edited file), which
// never fires.
constexpr std::optional<EventTypeTraits> traitsOf(std::int32_t typeCode) {
  if (typeCode < 0 || static_cast<std::size_t>(typeCode) >= kEventTypes.size()) return {};
  return kEventTypes[static_cast<std::size_t>(typeCode)];
}

}  // namespace notecast
