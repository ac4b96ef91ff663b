#pragma once
// The dispatch of one DMX channel change over the event table: which records fire, in table
// order, and which bytes go to the MIDI output.
//
// For each record watching the channel, in table order: "Show line" selects its row; its event
// type decides whether it fires (thresholds include equality; the once flags silence a threshold
// record until a value on the other side re-arms it); a fired record with SendNoteOff exactly 1
// is followed by a note-off on its MIDI channel. A record counts as fired only when its message
// went out: one the output does not send sets no once flag and has no note-off. A failure of the
// output ends the dispatch at that record; later records are not evaluated.
//
// A send may run a nested event loop (a device report's message box) in which the table changes
// (an edit, a delete, a load). What a send needs is copied from the record before it; the record's
// note-off is the one of the record as it was then. A change of the table during the dispatch
// ends it (after the sending record's note-off): the remaining indices belong to the old table.

#include <cstdint>

#include "engine/ChannelIndex.h"
#include "engine/EventTable.h"

namespace notecast {

// What the dispatch needs of the window: the "Show line" option, silent row selection, and
// the send step to the MIDI output.
class DispatchOutput {
 public:
  virtual bool showLineTicked() = 0;
  virtual void selectRow(std::int32_t row) = 0;
  // True when the message went out; false when the output sends nothing for it (a status byte
  // that starts no message it sends). Failures are thrown. MAY run a nested event loop that
  // changes the table: callers MUST NOT hold a reference to a record across it.
  virtual bool send(std::int32_t status, std::int32_t data1, std::int32_t data2) = 0;

 protected:
  ~DispatchOutput() = default;
};

// The channel value as a MIDI data value: halved, truncating toward zero, never clamped.
constexpr std::int32_t midiValueOf(std::int32_t channelValue) {
  return channelValue / 2;
}

// Runs the dispatch. The table MUST be dimensioned (callers raise error 9 otherwise).
void dispatchChannelValue(EventTable& table, ChannelIndex& index, std::int32_t channel,
                          std::int32_t value, DispatchOutput& output);

// The command path: sends record `row` at once, whatever its channel, type or once flags;
// a note-off follows for any non-zero SendNoteOff once the message went out. Error 9 for a row
// outside the table, raised after the optional row selection and before anything is sent.
void sendRecordOnCommand(const EventTable& table, std::int32_t row, DispatchOutput& output);

}  // namespace notecast
