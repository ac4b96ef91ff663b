// Entry editing: every editing control writes its value into the entry of the highlighted row
// at once (each keystroke, pick or click), then the entry list is rebuilt. Nothing is written
// while no row is highlighted. Each small step runs on its own: a step that fails is skipped and
// the next one runs.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <algorithm>

#include "abi/Boundary.h"
#include "engine/MessageKind.h"
#include "os/NumberText.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/TypedNumber.h"
#include "window/modMIDIHelper.h"

namespace notecast {
namespace {

constexpr std::int32_t kMaxDmxChannel = 1024;
constexpr std::int32_t kMaxValue = 255;
constexpr std::int32_t kMaxStatus = 255;
constexpr std::int32_t kMaxDataByte = 127;

// The range test is on the real number, so 127.4 is refused although it would round to 127;
// what is stored is rounded to the nearest integer, halves to even (12.5 -> 12, 13.5 -> 14).
// A refused number stores nothing and leaves the list as it is; text that is no number stores
// nothing but the list is rebuilt all the same.
void storeTypedNumber(Configfrm& window, const QLineEdit* box, MidiEventField field,
                      std::int32_t upper) {
  const std::optional<double> number = readTypedNumber(box->text());
  if (number && !(*number >= 0 && *number <= upper)) return;
  const int row = window.selectedEntry();
  if (number && row >= 0) {
    runStep([&] {
      window.table().setField(row, field, static_cast<std::int32_t>(roundHalfEven(*number)));
    });
  }
  runStep([&] { window.refreshEntryList(); });
}

void storeCheckState(Configfrm& window, const QCheckBox* box, MidiEventField field) {
  const int row = window.selectedEntry();
  if (row < 0) return;
  runStep([&] { window.table().setField(row, field, box->isChecked() ? 1 : 0); });
  runStep([&] { window.refreshEntryList(); });
}

// The event file keeps one name per line: a pasted line break is kept as a blank.
std::string shareNameOf(QString text) {
  text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text.toStdString();
}

}  // namespace

void Configfrm::txtDmx_Change() {
  storeTypedNumber(*this, form().txtDmx, MidiEventField::DMXChannel, kMaxDmxChannel);
}
void Configfrm::txtValue_Change() {
  storeTypedNumber(*this, form().txtValue, MidiEventField::Value, kMaxValue);
}
void Configfrm::txtMsg_Change() {
  storeTypedNumber(*this, form().txtMsg, MidiEventField::MIDIMessage, kMaxStatus);
}
void Configfrm::txtData1_Change() {
  storeTypedNumber(*this, form().txtData1, MidiEventField::Data1, kMaxDataByte);
}
void Configfrm::txtData2_Change() {
  storeTypedNumber(*this, form().txtData2, MidiEventField::Data2, kMaxDataByte);
}

// Any text is a name: empty, blanks, commas, a name another event already has.
void Configfrm::txtShareName_Change() {
  const int row = selectedEntry();
  if (row < 0) return;
  runStep([&] { table_.setShareName(row, shareNameOf(form().txtShareName->text())); });
  runStep([this] { refreshEntryList(); });
}

void Configfrm::chkSendNoteOff_Click() {
  storeCheckState(*this, form().chkSendNoteOff, MidiEventField::SendNoteOff);
}
void Configfrm::chkSendOnlyOnce_Click() {
  storeCheckState(*this, form().chkSendOnlyOnce, MidiEventField::SendOnlyOnce);
}
// The share name stays as it is: a name is kept while the entry is not shared.
void Configfrm::chkShare_Click() {
  storeCheckState(*this, form().chkShare, MidiEventField::Share);
}

// The list is rebuilt before the enabling rules run, so a "Send only once" that the rules clear
// still reads "Once: Yes" until the next rebuild.
void Configfrm::cboEvent_Click() {
  const int row = selectedEntry();
  if (row < 0) return;
  runStep([&] { table_.setField(row, MidiEventField::Typ, form().cboEvent->currentIndex()); });
  runStep([this] { refreshEntryList(); });
  runStep([this] { updateEventTypeControls(); });
}

// "Custom" starts a free status at 0, typed into "MSG:"; any other kind is its base value on
// the channel the channel box shows (channel 1 when it shows none).
void Configfrm::cboMIDIMessage_Click() {
  const int row = selectedEntry();
  if (row < 0) return;
  ConfigfrmForm& f = form();
  const bool custom = isCustomKind(f.cboMIDIMessage->currentText());
  runStep([&] {
    const std::int32_t status = custom ? 0
                                       : f.cboMIDIMessage->currentData().toInt() +
                                             std::max(f.cboMIDIChannel->currentIndex(), 0);
    table_.setField(row, MidiEventField::MIDIMessage, status);
  });
  f.txtMsg->setEnabled(custom);
  f.cboMIDIChannel->setEnabled(!custom);
  // The box's own handler stores the value just shown back into the entry.
  runStep([&] { f.txtMsg->setText(QString::number(table_.record(row).MIDIMessage)); });
  runStep([this] { refreshEntryList(); });
}

// Replaces the channel nibble and keeps the kind. The nibble is the remainder with the sign of
// the status, so status - nibble is a multiple of 16 between 0 and the status, and adding a
// channel 0..15 to it cannot overflow.
void Configfrm::cboMIDIChannel_Click() {
  const int row = selectedEntry();
  if (row < 0) return;
  ConfigfrmForm& f = form();
  const int picked = f.cboMIDIChannel->currentIndex();
  const int channel = picked >= 0 && picked < kMidiChannels ? picked : 0;
  runStep([&] {
    const std::int32_t status = table_.record(row).MIDIMessage;
    table_.setField(row, MidiEventField::MIDIMessage, status - midiChannelOf(status) + channel);
  });
  runStep([&] { f.txtMsg->setText(QString::number(table_.record(row).MIDIMessage)); });
  runStep([this] { refreshEntryList(); });
}

}  // namespace notecast
