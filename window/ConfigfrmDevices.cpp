// The MIDI output device as the window drives it: the device list, opening, changing and
// closing the device, the send step, the test note, the device report and the changes the MIDI
// system announces.

#include <QComboBox>
#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "abi/Boundary.h"
#include "abi/IOutputDetails.h"
#include "core/BoxRequests.h"
#include "engine/MessageKind.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/OutputChangeRelay.h"
#include "window/modMIDIHelper.h"

namespace notecast {
namespace {

constexpr std::int32_t kFirstDevice = -1;  // the list shows devices -1 (virtual output), 0, 1..
constexpr std::int32_t kNoDevice = -2;     // no row selected: nothing is chosen
constexpr std::int32_t kTestNoteStatus = 144, kTestNoteKey = 64, kTestNoteVelocity = 64;
constexpr const char* kReportTitle = "Notecast";
constexpr const char* kMissingTip = "Not there now: it opens by itself as soon as it is back.";

void writeAction(MidiOutputControl& midi, MidiAction action) {
  midi.setAction(static_cast<std::int32_t>(action));
}

// The control's devices in list order. A port that goes while they are read ends the list
// there: its going is announced, and the list filled again.
std::vector<QString> deviceNames(MidiOutputControl& control) {
  std::vector<QString> names;
  const std::int16_t count = control.deviceCount();
  for (std::int32_t device = kFirstDevice; device < count; ++device) {
    control.setDeviceNumber(device);
    try {
      names.push_back(QString::fromStdString(control.deviceName()));
    } catch (const RuntimeError& error) {
      if (error.number() != static_cast<std::int32_t>(MidiError::kBadDevice)) throw;
      break;
    }
  }
  return names;
}

// The rows, rebuilt without any handler running.
void showNames(QComboBox* list, const std::vector<QString>& names) {
  const QSignalBlocker blocker(list);
  list->clear();
  for (const QString& name : names) list->addItem(name);
}

int rowNamed(const QComboBox* list, const QString& name) {
  for (int row = 0; row < list->count(); ++row) {
    if (list->itemText(row) == name) return row;
  }
  return -1;
}

}  // namespace

MidiOutputControl& Configfrm::midi() {
  ensureLoaded();
  return *midi_;
}

void Configfrm::fillDeviceList() {
  QComboBox* list = form().cboMidiOutput;
  const std::vector<QString> names = deviceNames(midi());
  showNames(list, names);
  // Filling selects the first row by itself; the stored device is chosen by the event file.
  selectComboRow(list, -1);
}

void Configfrm::refreshDeviceList() {
  QComboBox* list = form().cboMidiOutput;
  MidiOutputControl& control = midi();
  // The chosen output as the control knows it (an ALSA device plugged in again may carry new
  // numbers in its name), else the row the user or the event file selected. After a clear no
  // row is selected until a load or the user chooses one, whatever output stays open.
  const MidiOutputStatus status = control.status();
  QString keep;
  if (status.state != MidiOutputState::kNone && !outputListCleared_) {
    keep = QString::fromStdString(status.name);
  } else if (list->currentIndex() >= 0) {
    keep = list->currentText();
  }
  const std::vector<QString> names = deviceNames(control);
  if (presence_ == Presence::NotLoaded) return;  // a report's box let the window go meanwhile
  showNames(list, names);
  int row = keep.isEmpty() ? -1 : rowNamed(list, keep);
  if (row < 0 && !keep.isEmpty()) {
    // The choice stays, and is what the event file keeps, while the output is missing.
    const QSignalBlocker blocker(list);
    list->addItem(keep);
    row = list->count() - 1;
    list->setItemData(row, QString::fromLatin1(kMissingTip), Qt::ToolTipRole);
  }
  selectComboRow(list, row);
}

// A row names its output: the control finds it by that name (ports a list shows may be numbered
// otherwise a moment later) and keeps it chosen while it is missing.
void Configfrm::openChosenDevice() {
  QComboBox* list = form().cboMidiOutput;
  MidiOutputControl& control = midi();
  if (list->currentIndex() < 0) {
    control.setDeviceNumber(kNoDevice);
  } else {
    control.setDeviceName(list->currentText().toStdString());
  }
  writeAction(control, MidiAction::kOpen);
  // The list and the poll follow what the open found.
  if (outputRelay_) outputRelay_->wake();
}

void Configfrm::closeDevice() {
  writeAction(midi(), MidiAction::kClose);
  if (outputRelay_) outputRelay_->wake();  // nothing chosen: the poll stops
}

// Picking the chosen output again keeps it as it is: closing and opening it would cut the
// connections other programs made to our port, and a missing one opens when it is back anyway.
void Configfrm::cboMidiOutput_Click() {
  runStep([this] {
    MidiOutputControl& control = midi();
    const MidiOutputStatus status = control.status();
    if (status.state != MidiOutputState::kNone &&
        form().cboMidiOutput->currentText().toStdString() == status.name)
      return;
    // The user's own pick is a change of the project, stored by the next save.
    runOutput_.reset();
    outputListCleared_ = false;
    writeAction(control, MidiAction::kClose);
    openChosenDevice();
  });
}

bool Configfrm::sendStep(std::int32_t status, std::int32_t data1, std::int32_t data2) {
  MidiOutputControl& control = midi();
  control.setStatusByte(status);
  control.setDataByte1(data1);
  control.setDataByte2(data2);
  try {
    writeAction(control, MidiAction::kSend);
  } catch (...) {
    sendLog_.recordNotSent();
    throw;
  }
  // A report's box may have let the window go, and the control with it.
  if (midi_.get() == &control && !control.lastSendTaken()) {
    sendLog_.recordNotSent();
    return false;
  }
  // The control sends nothing, and raises nothing, for a status byte that starts no message.
  if (!sendLog_.recordSend(status, data1, data2)) return false;
  if (messageSink_) {
    const std::span<const unsigned char> bytes = sendLog_.lastSent();
    messageSink_->MessageSent(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  }
  return true;
}

// The user pressed the button and waits for the note: a note that did not go out is told every
// time, by the device report when its cause is new, else by a box of its own.
void Configfrm::cmdSendTestNote_Click() {
  const std::uint64_t boxesBefore = boxesShown_;
  std::string failure;
  runStep([&] {
    try {
      sendStep(kTestNoteStatus, kTestNoteKey, kTestNoteVelocity);
    } catch (const RuntimeError& error) {
      failure = error.what();
      throw;
    }
  });
  if (failure.empty() || boxesShown_ != boxesBefore) return;
  runStep([&] {
    BoxRequests::ask({"The test note was not sent: " + failure + ".", kReportTitle, BoxButtons::Ok,
                      BoxIcon::None, BoxAnswer::Ok});
  });
}

// While held (a call that MUST NOT show a box), the control keeps its reports for its next
// operation after the hold, as it does before a handler is installed.
class Configfrm::ReportsHeld {
 public:
  explicit ReportsHeld(Configfrm& window) : window_(window) {
    if (window_.reportsHeld_++ == 0 && window_.midi_) window_.midi_->setDeviceReport({});
  }
  ~ReportsHeld() {
    if (--window_.reportsHeld_ == 0 && window_.midi_) window_.installDeviceReport();
  }
  ReportsHeld(const ReportsHeld&) = delete;
  ReportsHeld& operator=(const ReportsHeld&) = delete;

 private:
  Configfrm& window_;
};

void Configfrm::installDeviceReport() {
  midi_->setDeviceReport(
      [this](std::int16_t& code, std::string& text) { onDeviceReport(code, text); });
}

void Configfrm::onDeviceReport(std::int16_t& code, std::string& text) {
  if (code == static_cast<std::int16_t>(MidiReportCode::kOk) ||
      code == static_cast<std::int16_t>(MidiReportCode::kClosed))
    return;
  ++boxesShown_;
  BoxRequests::ask({text, kReportTitle, BoxButtons::Ok, BoxIcon::None, BoxAnswer::Ok});
}

std::vector<std::string> Configfrm::outputNames() {
  const ReportsHeld held(*this);
  // The list needs the control, not the project: a load that could not read the project (there
  // may be none yet) made the control all the same, and LoadProjectData loads it again.
  runStep([this] { ensureLoaded(); });
  std::vector<std::string> names;
  for (const QString& name : deviceNames(midi())) names.push_back(name.toStdString());
  return names;
}

KeptConnections::States Configfrm::keptConnectionStates() const {
  const KeptConnections::States now = presence_ != Presence::NotLoaded && midi_
                                          ? midi_->keptConnectionStates()
                                          : KeptConnections::States{};
  KeptConnections::States states;
  for (const std::string& port : keptConnections_) {
    auto state = KeptConnections::State::kWaiting;
    const auto found = std::find_if(now.begin(), now.end(),
                                    [&](const auto& known) { return known.first == port; });
    if (found != now.end()) state = found->second;
    if (state == KeptConnections::State::kWaiting && keptConnectedBefore_.contains(port))
      state = KeptConnections::State::kGone;
    states.emplace_back(port, state);
  }
  return states;
}

void Configfrm::onOutputChanged() {
  if (presence_ == Presence::NotLoaded) return;
  // A report's message box runs an event loop, in which the next change may come.
  if (handlingOutputChange_) {
    outputChangedAgain_ = true;
    return;
  }
  handlingOutputChange_ = true;
  runStep([this] {
    const bool missing = midi().recover();
    if (presence_ == Presence::NotLoaded) return;  // a report's box let the window go meanwhile
    outputRelay_->setPolling(missing);
    refreshDeviceList();
  });
  handlingOutputChange_ = false;
  if (std::exchange(outputChangedAgain_, false) && outputRelay_) outputRelay_->wake();
}

void Configfrm::setOutputForRun(std::optional<std::string> name) {
  runOutput_ = std::move(name);
}

void Configfrm::setKeptConnections(std::vector<std::string> ports) {
  keptConnections_ = std::move(ports);
  if (presence_ == Presence::NotLoaded || !midi_) return;
  midi_->setKeptConnections(keptConnections_);
  outputRelay_->wake();  // the poll follows what the control found
}

void Configfrm::setOutputAdvice(std::string sentence) {
  outputAdvice_ = std::move(sentence);
  if (presence_ != Presence::NotLoaded && midi_) midi_->setOutputAdvice(outputAdvice_);
}

std::string Configfrm::deviceToStore() {
  if (runOutput_) return fileDevice_;
  return form().cboMidiOutput->currentText().toStdString();
}

MidiOutputStatus Configfrm::outputStatus() const {
  if (presence_ == Presence::NotLoaded || !midi_) return {};
  return midi_->status();
}

}  // namespace notecast
