// The entries: the highlighted entry, New and Delete, and the editing controls' stores with the
// event types' rules. Each small step runs on its own: a step that fails is skipped and the
// next one runs.

#include <algorithm>

#include "abi/Boundary.h"
#include "core/PluginCore.h"
#include "engine/EventType.h"
#include "engine/MessageKind.h"
#include "os/NumberText.h"

namespace notecast {
namespace {

constexpr std::int32_t kMaxDmxChannel = 1024;
constexpr std::int32_t kMaxValue = 255;
constexpr std::int32_t kMaxStatus = 255;
constexpr std::int32_t kMaxDataByte = 127;
constexpr std::int32_t kMidiChannels = 16;

std::int32_t upperBoundOf(MidiEventField field) {
  switch (field) {
    case MidiEventField::DMXChannel:
      return kMaxDmxChannel;
    case MidiEventField::Value:
      return kMaxValue;
    case MidiEventField::MIDIMessage:
      return kMaxStatus;
    default:
      return kMaxDataByte;
  }
}

}  // namespace

int PluginCore::selectedEntry() const {
  if (!loaded_ || table_.IsArrayEmpty()) return -1;
  return highlighted_ >= 0 && highlighted_ < table_.size() ? highlighted_ : -1;
}

void PluginCore::refreshEntryList() {
  if (table_.IsArrayEmpty()) return;
  ensureLoaded();
  if (highlighted_ >= table_.size()) highlighted_ = table_.size() - 1;
  ++entryListRevision_;
  if (view_) view_->showEntries();
}

// The highlight and the editing controls move together: an edit must land on the entry the
// controls show. Showing it writes nothing.
void PluginCore::highlight(int row) {
  if (highlighted_ == row) return;
  highlighted_ = row;
  if (view_) view_->showHighlight();
}

// The highlight stays where it was; the new entry's row is not highlighted.
void PluginCore::newEntry() {
  // A full table (EventTable::kMaxRecords) takes no more entries: adds nothing.
  runStep([this] { table_.append(MidiEvent::added()); });
  runStep([this] { refreshEntryList(); });
}

// The entries after the deleted one move up whole, each with its own once flags; deleting the
// only entry leaves the blank entry.
void PluginCore::deleteSelectedEntry() {
  const int row = selectedEntry();
  if (row < 0) {
    runStep([this] { refreshEntryList(); });
    return;
  }
  runStep([this, row] { table_.remove(row); });
  runStep([this] { refreshEntryList(); });
  runStep([this] {
    if (view_ && selectedEntry() >= 0) view_->showHighlight();
  });
}

void PluginCore::storeIntoSelected(MidiEventField field, std::int32_t value) {
  const int row = selectedEntry();
  if (row >= 0) runStep([&] { table_.setField(row, field, value); });
}

// The range test is on the real number, so 127.4 is refused although it would round to 127;
// what is stored is rounded to the nearest integer, halves to even (12.5 -> 12, 13.5 -> 14).
void PluginCore::storeTypedNumber(MidiEventField field, std::optional<double> number) {
  if (number && !(*number >= 0 && *number <= upperBoundOf(field))) return;
  if (number) storeIntoSelected(field, static_cast<std::int32_t>(roundHalfEven(*number)));
  runStep([this] { refreshEntryList(); });
}

void PluginCore::storeFlag(MidiEventField field, bool on) {
  if (selectedEntry() < 0) return;
  storeIntoSelected(field, on ? 1 : 0);
  runStep([this] { refreshEntryList(); });
}

// Any text is a name: empty, blanks, commas, a name another event already has. The event file
// keeps one name per line: a pasted line break is kept as a blank.
void PluginCore::storeShareName(std::string name) {
  const int row = selectedEntry();
  if (row < 0) return;
  std::replace(name.begin(), name.end(), '\r', ' ');
  std::replace(name.begin(), name.end(), '\n', ' ');
  runStep([&] { table_.setShareName(row, name); });
  runStep([this] { refreshEntryList(); });
}

// The list is rebuilt before the type's rules run, so a "Send only once" that the rules clear
// still reads "Once: Yes" until the next rebuild.
void PluginCore::storeEventType(std::int32_t type) {
  if (selectedEntry() < 0) return;
  storeIntoSelected(MidiEventField::Typ, type);
  runStep([this] { refreshEntryList(); });
  applyEventTypeRules(type);
}

void PluginCore::applyEventTypeRules(std::int32_t type) {
  const std::optional<EventTypeTraits> traits = traitsOf(type);
  if (!traits || traits->sendsStaticMessage()) return;
  storeIntoSelected(MidiEventField::SendOnlyOnce, 0);
}

void PluginCore::storeMessageKind(std::optional<std::int32_t> baseStatus, std::int32_t channel) {
  storeIntoSelected(MidiEventField::MIDIMessage,
                    baseStatus ? *baseStatus + std::max(channel, 0) : 0);
}

// The nibble is the remainder with the sign of the status, so status - nibble is a multiple of
// 16 between 0 and the status, and adding a channel 0..15 to it cannot overflow.
void PluginCore::storeMessageChannel(std::int32_t channel) {
  const int row = selectedEntry();
  if (row < 0) return;
  if (channel < 0 || channel >= kMidiChannels) channel = 0;
  runStep([&] {
    const std::int32_t status = table_.record(row).MIDIMessage;
    table_.setField(row, MidiEventField::MIDIMessage, status - midiChannelOf(status) + channel);
  });
}

}  // namespace notecast
