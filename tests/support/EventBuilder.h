#pragma once
// One event of the table in a line, for tests of the table, the dispatch and the command path.

#include <cstdint>
#include <string>

#include "engine/EventType.h"
#include "engine/MidiEvent.h"

namespace notecast::testing {

inline MidiEvent event(std::int32_t channel, EventType type, std::int32_t status,
                       std::int32_t data1 = 1, std::int32_t data2 = 2, std::int32_t threshold = 0) {
  MidiEvent e;
  e.DMXChannel = channel;
  e.Typ = static_cast<std::int32_t>(type);
  e.MIDIMessage = status;
  e.Data1 = data1;
  e.Data2 = data2;
  e.Value = threshold;
  return e;
}

// A new event (as New makes it) shared, or not, under `name`.
inline MidiEvent sharedEvent(std::int32_t share, const std::string& name) {
  MidiEvent e = MidiEvent::added();
  e.Share = share;
  e.ShareName = name;
  return e;
}

}  // namespace notecast::testing
