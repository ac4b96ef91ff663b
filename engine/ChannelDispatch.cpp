#include "engine/ChannelDispatch.h"

#include <optional>
#include <vector>

#include "engine/EventType.h"
#include "engine/MessageKind.h"

namespace notecast {
namespace {

constexpr std::int32_t kNoteOffEnabled = 1;  // the dispatch's note-off needs exactly 1

enum class OnceFlag { kNone, kAbove, kBelow };

// What one send needs of its record, copied before the send: the record may be gone after it.
struct Outgoing {
  std::int32_t status = 0;
  std::int32_t data1 = 0;
  std::int32_t data2 = 0;
  bool noteOff = false;              // a note-off follows once the message went out
  OnceFlag holds = OnceFlag::kNone;  // the once flag to set once the message went out
};

Outgoing outgoingOf(const MidiEvent& event, bool noteOff) {
  return {event.MIDIMessage, event.Data1, event.Data2, noteOff, OnceFlag::kNone};
}

// A threshold record: fires on its side of the threshold unless its once flag holds it back;
// a value on the other side re-arms it.
std::optional<Outgoing> thresholdMessage(EventTable& table, std::int32_t i, bool onSide,
                                         OnceFlag flag) {
  const bool above = flag == OnceFlag::kAbove;
  if (!onSide) {
    above ? table.setOnceAbove(i, false) : table.setOnceBelow(i, false);
    return std::nullopt;
  }
  if (above ? table.onceAbove(i) : table.onceBelow(i)) return std::nullopt;
  const MidiEvent& event = table.record(i);
  Outgoing message = outgoingOf(event, event.SendNoteOff == kNoteOffEnabled);
  if (event.SendOnlyOnce != 0) message.holds = flag;
  return message;
}

// The message record i sends for channel value v, if its trigger holds.
std::optional<Outgoing> messageFor(EventTable& table, std::int32_t i, std::int32_t v) {
  const MidiEvent& event = table.record(i);
  const std::optional<EventTypeTraits> traits = traitsOf(event.Typ);
  if (!traits) return std::nullopt;  // an unknown type sends nothing
  switch (traits->threshold) {
    case Threshold::AtOrAbove:
      return thresholdMessage(table, i, v >= event.Value, OnceFlag::kAbove);
    case Threshold::AtOrBelow:
      return thresholdMessage(table, i, v <= event.Value, OnceFlag::kBelow);
    case Threshold::None:
      break;
  }
  Outgoing message = outgoingOf(event, event.SendNoteOff == kNoteOffEnabled);
  if (traits->valueTarget == ValueTarget::Data1) message.data1 = midiValueOf(v);
  if (traits->valueTarget == ValueTarget::Data2) message.data2 = midiValueOf(v);
  return message;
}

void setOnceFlag(EventTable& table, std::int32_t i, OnceFlag flag) {
  if (flag == OnceFlag::kAbove) table.setOnceAbove(i, true);
  if (flag == OnceFlag::kBelow) table.setOnceBelow(i, true);
}

}  // namespace

void dispatchChannelValue(EventTable& table, ChannelIndex& index, std::int32_t channel,
                          std::int32_t value, DispatchOutput& output) {
  // A copy: the list belongs to the index, which a change of the table would rebuild.
  const std::vector<std::int32_t> records = index.recordsOn(table, channel);
  // The indices belong to the table as it is now; once it changes (in a nested event loop, or
  // by a reload of the window the output brings about) the walk ends.
  const std::uint64_t walked = table.changeCount();
  const auto tableChanged = [&] { return table.changeCount() != walked; };
  for (const std::int32_t i : records) {
    if (output.showLineTicked()) output.selectRow(i);
    if (tableChanged()) return;
    const std::optional<Outgoing> message = messageFor(table, i, value);
    if (!message) continue;
    const bool sent = output.send(message->status, message->data1, message->data2);
    // Row i of a changed table may hold another record, or none.
    if (sent && !tableChanged()) setOnceFlag(table, i, message->holds);
    if (sent && message->noteOff) output.send(noteOffStatusFor(message->status), 0, 0);
    if (tableChanged()) return;
  }
}

void sendRecordOnCommand(const EventTable& table, std::int32_t row, DispatchOutput& output) {
  if (output.showLineTicked()) output.selectRow(row);
  const MidiEvent& event = table.record(row);
  const Outgoing message = outgoingOf(event, event.SendNoteOff != 0);
  if (output.send(message.status, message.data1, message.data2) && message.noteOff)
    output.send(noteOffStatusFor(message.status), 0, 0);
}

}  // namespace notecast
