#include "engine/ChannelDispatch.h"

#include "engine/EventType.h"
#include "engine/MessageKind.h"

namespace notecast {
namespace {

constexpr std::int32_t kNoteOffEnabled = 1;  // the dispatch's note-off needs exactly 1

// A threshold record: fires on its side of the threshold unless its once flag holds it back;
// a value on the other side re-arms it.
bool evaluateThreshold(EventTable& table, std::int32_t i, bool onSide, bool above,
                       DispatchOutput& output) {
  const MidiEvent& event = table.record(i);
  const bool held = above ? table.onceAbove(i) : table.onceBelow(i);
  auto setFlag = [&](bool set) { above ? table.setOnceAbove(i, set) : table.setOnceBelow(i, set); };
  if (!onSide) {
    setFlag(false);
    return false;
  }
  if (held) return false;
  output.send(event.MIDIMessage, event.Data1, event.Data2);
  if (event.SendOnlyOnce != 0) setFlag(true);
  return true;
}

// Evaluates one record; true when its message went out.
bool evaluate(EventTable& table, std::int32_t i, std::int32_t v, DispatchOutput& output) {
  const MidiEvent& event = table.record(i);
  const std::optional<EventTypeTraits> traits = traitsOf(event.Typ);
  if (!traits) return false;  // an unknown type sends nothing
  switch (traits->threshold) {
    case Threshold::AtOrAbove:
      return evaluateThreshold(table, i, v >= event.Value, true, output);
    case Threshold::AtOrBelow:
      return evaluateThreshold(table, i, v <= event.Value, false, output);
    case Threshold::None:
      break;
  }
  const std::int32_t data1 =
      traits->valueTarget == ValueTarget::Data1 ? midiValueOf(v) : event.Data1;
  const std::int32_t data2 =
      traits->valueTarget == ValueTarget::Data2 ? midiValueOf(v) : event.Data2;
  output.send(event.MIDIMessage, data1, data2);
  return true;
}

}  // namespace

void dispatchChannelValue(EventTable& table, ChannelIndex& index, std::int32_t channel,
                          std::int32_t value, DispatchOutput& output) {
  // A copy: the list belongs to the index, which a change of the table would rebuild.
  const std::vector<std::int32_t> records = index.recordsOn(table, channel);
  for (const std::int32_t i : records) {
    if (output.showLineTicked()) output.selectRow(i);
    const bool sent = evaluate(table, i, value, output);
    const std::int32_t midiMessage = table.record(i).MIDIMessage;
    if (sent && table.record(i).SendNoteOff == kNoteOffEnabled)
      output.send(noteOffStatusFor(midiMessage), 0, 0);
  }
}

void sendRecordOnCommand(const EventTable& table, std::int32_t row, DispatchOutput& output) {
  if (output.showLineTicked()) output.selectRow(row);
  const MidiEvent& event = table.record(row);
  output.send(event.MIDIMessage, event.Data1, event.Data2);
  if (event.SendNoteOff != 0) output.send(noteOffStatusFor(event.MIDIMessage), 0, 0);
}

}  // namespace notecast
