#pragma once
// The one-line summary of an event in the entry list.

#include <string>

#include "engine/MidiEvent.h"

namespace notecast {

// "Chan: 12, Typ: 3, MSG: B0, Data1: 7, Data2: 0, Value: 127, NoteOff: Yes, Once: No,
//  Share: Yes, Name: fade". MSG in upper-case hexadecimal (a negative status as its 32-bit two's
// complement); a flag reads "Yes" only when it is exactly 1.
std::string entryLine(const MidiEvent& event);

}  // namespace notecast
