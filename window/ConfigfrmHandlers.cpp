// The controls' handlers: each hands what the user did to the core. The text boxes store on
// every change of their text (the program's too), the check boxes on the user's click, the
// drop-downs on the user's pick only. Nothing is stored while no entry is selected.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "abi/Boundary.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"
#include "window/TypedNumber.h"
#include "window/modMIDIHelper.h"

namespace notecast {

void Configfrm::connectHandlers() {
  ConfigfrmForm& f = *form_;
  QObject::connect(f.cmdOK, &QPushButton::clicked, &f, [this] { cmdOK_Click(); });
  QObject::connect(f.cmdSendTestNote, &QPushButton::clicked, &f,
                   [this] { cmdSendTestNote_Click(); });
  QObject::connect(f.cboMidiOutput, &QComboBox::activated, &f, [this] { cboMidiOutput_Click(); });
  QObject::connect(f.chkShowLine, &QCheckBox::toggled, &f, [this] { chkShowLine_Toggled(); });

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

void Configfrm::cmdOK_Click() {
  hide();
}

void Configfrm::cboMidiOutput_Click() {
  core_.chooseOutput(form_->cboMidiOutput->currentIndex());
}

void Configfrm::cmdSendTestNote_Click() {
  core_.sendTestNote();
}

void Configfrm::chkShowLine_Toggled() {
  core_.setShowLine(form_->chkShowLine->isChecked());
}

void Configfrm::cmdNew_Click() {
  core_.newEntry();
}

void Configfrm::cmdDelete_Click() {
  core_.deleteSelectedEntry();
}

void Configfrm::txtDmx_Change() {
  core_.storeTypedNumber(MidiEventField::DMXChannel, readTypedNumber(form_->txtDmx->text()));
}
void Configfrm::txtValue_Change() {
  core_.storeTypedNumber(MidiEventField::Value, readTypedNumber(form_->txtValue->text()));
}
void Configfrm::txtMsg_Change() {
  core_.storeTypedNumber(MidiEventField::MIDIMessage, readTypedNumber(form_->txtMsg->text()));
}
void Configfrm::txtData1_Change() {
  core_.storeTypedNumber(MidiEventField::Data1, readTypedNumber(form_->txtData1->text()));
}
void Configfrm::txtData2_Change() {
  core_.storeTypedNumber(MidiEventField::Data2, readTypedNumber(form_->txtData2->text()));
}
void Configfrm::txtShareName_Change() {
  core_.storeShareName(form_->txtShareName->text().toStdString());
}

void Configfrm::chkSendNoteOff_Click() {
  core_.storeFlag(MidiEventField::SendNoteOff, form_->chkSendNoteOff->isChecked());
}
void Configfrm::chkSendOnlyOnce_Click() {
  core_.storeFlag(MidiEventField::SendOnlyOnce, form_->chkSendOnlyOnce->isChecked());
}
// The share name stays as it is: a name is kept while the entry is not shared.
void Configfrm::chkShare_Click() {
  core_.storeFlag(MidiEventField::Share, form_->chkShare->isChecked());
}

void Configfrm::cboEvent_Click() {
  if (core_.selectedEntry() < 0) return;
  core_.storeEventType(form_->cboEvent->currentIndex());
  if (form_) applyEventTypeRules(false);
}

// "Custom" starts a free status at 0, typed into "MSG:"; any other kind is its base value on
// the channel the channel box shows (channel 1 when it shows none). "MSG:" then shows the
// status, and its own handler stores it back.
void Configfrm::cboMIDIMessage_Click() {
  const int row = core_.selectedEntry();
  if (row < 0) return;
  ConfigfrmForm& f = *form_;
  const bool custom = isCustomKind(f.cboMIDIMessage->currentText());
  core_.storeMessageKind(
      custom ? std::nullopt : std::optional<std::int32_t>(f.cboMIDIMessage->currentData().toInt()),
      f.cboMIDIChannel->currentIndex());
  f.txtMsg->setEnabled(custom);
  f.cboMIDIChannel->setEnabled(!custom);
  runStep([&] { f.txtMsg->setText(QString::number(core_.eventTable().record(row).MIDIMessage)); });
  runStep([this] { core_.refreshEntryList(); });
}

void Configfrm::cboMIDIChannel_Click() {
  const int row = core_.selectedEntry();
  if (row < 0) return;
  ConfigfrmForm& f = *form_;
  core_.storeMessageChannel(f.cboMIDIChannel->currentIndex());
  runStep([&] { f.txtMsg->setText(QString::number(core_.eventTable().record(row).MIDIMessage)); });
  runStep([this] { core_.refreshEntryList(); });
}

}  // namespace notecast
