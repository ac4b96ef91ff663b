// The entry list, the window's reset and its OK button.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"
#include "window/modMIDIHelper.h"

namespace notecast {

void Configfrm::connectHandlers() {
  ConfigfrmForm& f = *form_;
  QObject::connect(f.cmdOK, &QPushButton::clicked, &f, [this] { cmdOK_Click(); });
  QObject::connect(f.cmdSendTestNote, &QPushButton::clicked, &f,
                   [this] { cmdSendTestNote_Click(); });
  QObject::connect(f.cboMidiOutput, &QComboBox::activated, &f, [this] { cboMidiOutput_Click(); });

  // Entries: the text boxes store on every change of their text (the program's too), the check
  // boxes on the user's click, the drop-downs on the user's pick only.
  QObject::connect(f.cmdNew, &QPushButton::clicked, &f, [this] { cmdNew_Click(); });
  QObject::connect(f.cmdDelete, &QPushButton::clicked, &f, [this] { cmdDelete_Click(); });
  QObject::connect(f.lstView, &EntryListWidget::userSelected, &f, [this] { lstView_Click(); });
  const std::pair<QLineEdit*, void (Configfrm::*)()> texts[] = {
      {f.txtDmx, &Configfrm::txtDmx_Change},     {f.txtValue, &Configfrm::txtValue_Change},
      {f.txtMsg, &Configfrm::txtMsg_Change},     {f.txtData1, &Configfrm::txtData1_Change},
      {f.txtData2, &Configfrm::txtData2_Change}, {f.txtShareName, &Configfrm::txtShareName_Change},
  };
  for (const auto& text : texts) {
    const auto handler = text.second;
    QObject::connect(text.first, &QLineEdit::textChanged, &f,
                     [this, handler] { (this->*handler)(); });
  }
  const std::pair<QCheckBox*, void (Configfrm::*)()> checks[] = {
      {f.chkSendNoteOff, &Configfrm::chkSendNoteOff_Click},
      {f.chkSendOnlyOnce, &Configfrm::chkSendOnlyOnce_Click},
      {f.chkShare, &Configfrm::chkShare_Click},
  };
  for (const auto& check : checks) {
    const auto handler = check.second;
    QObject::connect(check.first, &QCheckBox::clicked, &f, [this, handler] { (this->*handler)(); });
  }
  QObject::connect(f.cboEvent, &QComboBox::activated, &f, [this] { cboEvent_Click(); });
  QObject::connect(f.cboMIDIMessage, &QComboBox::activated, &f, [this] { cboMIDIMessage_Click(); });
  QObject::connect(f.cboMIDIChannel, &QComboBox::activated, &f, [this] { cboMIDIChannel_Click(); });
}

// Rebuilds the list in full from the table and keeps the highlighted row where it was (or on
// the new last row); never refills the editing controls.
void Configfrm::refreshEntryList() {
  if (table_.IsArrayEmpty()) return;
  EntryListWidget* list = form().lstView;
  const int remembered = list->selectedRow();
  list->showEntries(table_);
  selectListRow(list, remembered < list->count() ? remembered : list->count() - 1);
}

// The empty state of the window and the table. The resets are the program's, not the user's:
// no handler runs, so nothing is stored into any entry.
// The window is loaded before the table is reset: loading reads the event file into the table,
// which would otherwise undo the reset.
void Configfrm::clearForm() {
  ConfigfrmForm& f = form();
  table_.reset();
  {
    const QSignalBlocker blocker(f.cboMidiOutput);
    f.cboMidiOutput->clear();
  }
  outputListCleared_ = true;
  const std::pair<QLineEdit*, const char*> texts[] = {
      {f.txtDmx, "0"},   {f.txtMsg, "1"},     {f.txtData1, "0"},
      {f.txtData2, "0"}, {f.txtValue, "127"}, {f.txtShareName, ""},
  };
  for (const auto& [box, text] : texts) {
    const QSignalBlocker blocker(box);
    box->setText(QString::fromLatin1(text));
  }
  for (QCheckBox* check : {f.chkShowLine, f.chkSendOnlyOnce, f.chkSendNoteOff, f.chkShare}) {
    const QSignalBlocker blocker(check);
    check->setChecked(false);
  }
  const QSignalBlocker blocker(f.lstView);
  f.lstView->clear();
}

void Configfrm::cmdOK_Click() {
  hide();
}

}  // namespace notecast
