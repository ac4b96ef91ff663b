// Entry selection: the user's selection of a row shows its entry in the editing controls.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "engine/EventType.h"
#include "engine/MessageKind.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
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

}  // namespace

// The user's selection fills the controls in a fixed order. The text boxes' handlers run on each
// new text and store back exactly what is shown (a value outside a box's range is refused), so
// the entry stays as it was; only the enabling rules clear "Send only once" of a value-mapping
// type.
void Configfrm::lstView_Click() {
  const int row = selectedEntry();
  if (row >= 0) fillEditingControls(row, true);
}

// The program's selection (Show line, a command, Delete) shows the highlighted entry as a click
// would, so that an edit lands on the entry the controls show; but it only shows it: no handler
// runs, and nothing is written into the table (a dispatch or a command must leave the entries,
// and whether the file counts as changed, as they were).
void Configfrm::showHighlightedEntry() {
  const int row = selectedEntry();
  if (row < 0) return;
  ConfigfrmForm& f = form();
  const QSignalBlocker blockers[] = {
      QSignalBlocker(f.txtDmx),         QSignalBlocker(f.txtMsg),
      QSignalBlocker(f.txtData1),       QSignalBlocker(f.txtData2),
      QSignalBlocker(f.txtValue),       QSignalBlocker(f.txtShareName),
      QSignalBlocker(f.chkSendNoteOff), QSignalBlocker(f.chkSendOnlyOnce),
      QSignalBlocker(f.chkShare)};
  fillEditingControls(row, false);
}

void Configfrm::fillEditingControls(int row, bool asTheUserSelected) {
  ConfigfrmForm& f = form();
  const MidiEvent event = table_.record(row);  // a copy: the user's handlers write while shown

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

}  // namespace notecast
