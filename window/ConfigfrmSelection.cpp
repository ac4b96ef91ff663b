// Entry selection: the user's selection of a row shows its entry in the editing controls.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <optional>

#include "engine/EventType.h"
#include "engine/MessageKind.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"
#include "window/modMIDIHelper.h"

namespace notecast {
namespace {

// Splits the status into kind and channel, silently: a pick handler running here would compose
// the status anew from the channel box's previous row.
void showMessageKind(ConfigfrmForm& f, std::int32_t status) {
  QComboBox* kinds = f.cboMIDIMessage;
  if (status < kFirstStatusValue) {
    selectComboRow(kinds, kinds->count() - 1);  // "Custom"; the channel box keeps its row
    f.cboMIDIChannel->setEnabled(false);
    return;
  }
  const std::int32_t base = status - midiChannelOf(status);
  // A status of 0xF0 and up is no channel message and matches no kind: it shows as "Custom", the
  // free status the user types, rather than as the kind of the entry shown before. "MSG:" thus
  // becomes editable and the channel box shows the low four bits, disabled.
  selectComboRow(kinds, kCustomMessageRow);
  for (int row = 0; row < kinds->count(); ++row) {
    if (row != kCustomMessageRow && kinds->itemData(row).toInt() == base)
      selectComboRow(kinds, row);
  }
  const std::int32_t channel = midiChannelOf(status);
  selectComboRow(f.cboMIDIChannel, channel >= 0 && channel < kMidiChannels ? channel : 0);
}

constexpr const char* kSelectFirstHint =
    "Select an event in the list first: these fields edit the selected event.";

}  // namespace

// The user's selection fills the controls in a fixed order. The text boxes' handlers run on each
// new text and store back exactly what is shown (a value outside a box's range is refused), so
// the entry stays as it was; only the type's rules clear "Send only once" of a value-mapping
// type.
void Configfrm::lstView_Click() {
  core_.setHighlightedRow(form_->lstView->selectedRow());
  const int row = core_.selectedEntry();
  if (row >= 0) fillEditingControls(row, true);
  showEditingHint();
}

// What is typed into the editing controls goes into the selected entry; with none selected it
// goes nowhere, and the controls say so where the user looks, under the pointer.
void Configfrm::showEditingHint() {
  ConfigfrmForm& f = *form_;
  const QString hint =
      core_.selectedEntry() < 0 ? QString::fromLatin1(kSelectFirstHint) : QString();
  for (QWidget* control : std::initializer_list<QWidget*>{
           f.txtDmx, f.txtMsg, f.txtData1, f.txtData2, f.txtValue, f.txtShareName, f.cboEvent,
           f.cboMIDIMessage, f.cboMIDIChannel, f.chkSendNoteOff, f.chkSendOnlyOnce, f.chkShare})
    control->setToolTip(hint);
}

// The program's selection (Show line, a command, Delete) shows the entry as a click would, so
// that an edit lands on the entry the controls show; but it only shows it: no handler runs, and
// nothing is written into the table (a dispatch or a command must leave the entries, and
// whether the file counts as changed, as they were).
void Configfrm::fillEditingControls(int row, bool asTheUserSelected) {
  ConfigfrmForm& f = *form_;
  const auto quiet = [asTheUserSelected](QObject* box) -> QObject* {
    return asTheUserSelected ? nullptr : box;
  };
  const QSignalBlocker blockers[] = {
      QSignalBlocker(quiet(f.txtDmx)),         QSignalBlocker(quiet(f.txtMsg)),
      QSignalBlocker(quiet(f.txtData1)),       QSignalBlocker(quiet(f.txtData2)),
      QSignalBlocker(quiet(f.txtValue)),       QSignalBlocker(quiet(f.txtShareName)),
      QSignalBlocker(quiet(f.chkSendNoteOff)), QSignalBlocker(quiet(f.chkSendOnlyOnce)),
      QSignalBlocker(quiet(f.chkShare))};
  // A copy: the user's handlers write while shown.
  const MidiEvent event = core_.eventTable().record(row);

  f.txtDmx->setText(QString::number(event.DMXChannel));
  showMessageKind(f, event.MIDIMessage);
  f.txtMsg->setText(QString::number(event.MIDIMessage));
  f.txtData1->setText(QString::number(event.Data1));
  f.txtData2->setText(QString::number(event.Data2));
  f.txtValue->setText(QString::number(event.Value));
  f.txtShareName->setText(QString::fromStdString(event.ShareName));
  // A flag from a hand-edited file (2, -1) shows ticked where it takes effect: the note-off goes
  // out for 1 only, while "once" and sharing count every non-zero value.
  f.chkSendNoteOff->setChecked(event.SendNoteOff == 1);
  f.chkSendOnlyOnce->setChecked(event.SendOnlyOnce != 0);
  f.chkShare->setChecked(event.Share != 0);
  const bool knownType = traitsOf(event.Typ).has_value();
  selectComboRow(f.cboEvent, knownType ? event.Typ : -1);
  applyEventTypeRules(asTheUserSelected);

  const bool custom = isCustomKind(f.cboMIDIMessage->currentText());
  f.txtMsg->setEnabled(custom);
  f.cboMIDIChannel->setEnabled(!custom);
}

void Configfrm::applyEventTypeRules(bool clearOnce) {
  ConfigfrmForm& f = *form_;
  const std::int32_t type = f.cboEvent->currentIndex();
  const std::optional<EventTypeTraits> traits = traitsOf(type);
  if (!traits) return;
  // A data byte the channel value replaces is not typed; a threshold needs its Value.
  f.txtData1->setEnabled(traits->valueTarget != ValueTarget::Data1);
  f.txtData2->setEnabled(traits->valueTarget != ValueTarget::Data2);
  f.txtValue->setEnabled(traits->threshold != Threshold::None);
  f.chkSendOnlyOnce->setEnabled(traits->sendsStaticMessage());
  if (clearOnce) core_.applyEventTypeRules(type);
}

}  // namespace notecast
