// The entry list, the window's reset and its OK button.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStringList>

#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryLine.h"
#include "window/EntryListWidget.h"
#include "window/modMIDIHelper.h"

namespace notecast {

void Configfrm::connectHandlers() {
  ConfigfrmForm& f = *form_;
  QObject::connect(f.cmdOK, &QPushButton::clicked, &f, [this] { cmdOK_Click(); });
  QObject::connect(f.cmdSendTestNote, &QPushButton::clicked, &f,
                   [this] { cmdSendTestNote_Click(); });
  QObject::connect(f.cboMidiOutput, &QComboBox::activated, &f, [this] { cboMidiOutput_Click(); });
}

// Rebuilds the list in full from the table and keeps the highlighted row where it was (or on
// the new last row); never refills the editing controls.
void Configfrm::refreshEntryList() {
  if (table_.IsArrayEmpty()) return;
  EntryListWidget* list = form().lstView;
  const int remembered = list->selectedRow();

  QStringList lines;
  lines.reserve(table_.size());
  for (std::int32_t i = 0; i < table_.size(); ++i)
    lines.append(QString::fromStdString(entryLine(table_.record(i))));
  {
    const QSignalBlocker blocker(list);
    list->setUpdatesEnabled(false);
    list->clear();
    list->addItems(lines);
    list->setUpdatesEnabled(true);
  }
  selectListRow(list, remembered < list->count() ? remembered : list->count() - 1);
}

// The empty state of the window and the table. The resets are the program's, not the user's:
// no handler runs, so nothing is stored into any entry.
void Configfrm::clearForm() {
  table_.reset();
  ConfigfrmForm& f = form();
  {
    const QSignalBlocker blocker(f.cboMidiOutput);
    f.cboMidiOutput->clear();
  }
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
