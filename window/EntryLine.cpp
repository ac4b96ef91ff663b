#include "window/EntryLine.h"

#include <cstdio>

namespace notecast {
namespace {

const char* yesNo(std::int32_t flag) {
  return flag == 1 ? "Yes" : "No";
}

}  // namespace

std::string entryLine(const MidiEvent& e) {
  char numbers[224];
  std::snprintf(numbers, sizeof numbers,
                "Chan: %d, Typ: %d, MSG: %X, Data1: %d, Data2: %d, Value: %d, NoteOff: %s, "
                "Once: %s, Share: %s, Name: ",
                e.DMXChannel, e.Typ,
                static_cast<unsigned>(static_cast<std::uint32_t>(e.MIDIMessage)), e.Data1, e.Data2,
                e.Value, yesNo(e.SendNoteOff), yesNo(e.SendOnlyOnce), yesNo(e.Share));
  return numbers + e.ShareName;
}

}  // namespace notecast
