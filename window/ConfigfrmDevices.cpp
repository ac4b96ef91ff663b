// The MIDI output device as the window drives it: the device list, opening, changing and
// closing the device, the send step, the test note and the device report.

#include <QComboBox>

#include "abi/Boundary.h"
#include "engine/MessageKind.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/MessageBox.h"
#include "window/modMIDIHelper.h"

namespace notecast {
namespace {

constexpr std::int32_t kFirstDevice = -1;  // row r of the device list is device r - 1
constexpr std::int32_t kTestNoteStatus = 144, kTestNoteKey = 64, kTestNoteVelocity = 64;
constexpr const char* kReportTitle = "Notecast";

std::int32_t deviceOfRow(int row) {
  return row + kFirstDevice;
}

void writeAction(MidiOutputControl& midi, MidiAction action) {
  midi.setAction(static_cast<std::int32_t>(action));
}

}  // namespace

MidiOutputControl& Configfrm::midi() {
  ensureLoaded();
  return *midi_;
}

void Configfrm::fillDeviceList() {
  QComboBox* list = form().cboMidiOutput;
  MidiOutputControl& control = midi();
  {
    const QSignalBlocker blocker(list);
    list->clear();
  }
  const std::int16_t count = control.deviceCount();
  for (std::int32_t device = kFirstDevice; device < count; ++device) {
    control.setDeviceNumber(device);
    const QSignalBlocker blocker(list);
    list->addItem(QString::fromStdString(control.deviceName()));
  }
  // Filling selects the first row by itself; the stored device is chosen by the event file.
  selectComboRow(list, -1);
}

// With no row selected the device number is -2, which the control refuses to open.
void Configfrm::openChosenDevice() {
  const int row = form().cboMidiOutput->currentIndex();
  MidiOutputControl& control = midi();
  control.setDeviceNumber(deviceOfRow(row));
  writeAction(control, MidiAction::kOpen);
}

void Configfrm::closeDevice() {
  writeAction(midi(), MidiAction::kClose);
}

void Configfrm::cboMidiOutput_Click() {
  runStep([this] {
    MidiOutputControl& control = midi();
    writeAction(control, MidiAction::kClose);
    control.setDeviceNumber(deviceOfRow(form().cboMidiOutput->currentIndex()));
    writeAction(control, MidiAction::kOpen);
  });
}

void Configfrm::sendStep(std::int32_t status, std::int32_t data1, std::int32_t data2) {
  MidiOutputControl& control = midi();
  control.setStatusByte(status);
  control.setDataByte1(data1);
  control.setDataByte2(data2);
  writeAction(control, MidiAction::kSend);
}

void Configfrm::sendNoteOff(std::int32_t midiMessage) {
  sendStep(noteOffStatusFor(midiMessage), 0, 0);
}

// A failed test note has already been told to the user through the device report.
void Configfrm::cmdSendTestNote_Click() {
  runStep([this] { sendStep(kTestNoteStatus, kTestNoteKey, kTestNoteVelocity); });
}

void Configfrm::onDeviceReport(std::int16_t& code, std::string& text) {
  if (code == static_cast<std::int16_t>(MidiReportCode::kOk) ||
      code == static_cast<std::int16_t>(MidiReportCode::kClosed))
    return;
  showMessageBox({text, kReportTitle, BoxButtons::Ok, BoxIcon::None, BoxAnswer::Ok});
}

}  // namespace notecast
