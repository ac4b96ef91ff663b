// The MIDI output as the core drives it: the output list, opening, changing and closing the
// device, the send step, the test note, the device report and the changes the MIDI system
// announces.

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "abi/Boundary.h"
#include "abi/IOutputDetails.h"
#include "core/BoxRequests.h"
#include "core/OutputChangeRelay.h"
#include "core/PluginCore.h"

namespace notecast {
namespace {

constexpr std::int32_t kFirstDevice = -1;  // the list shows devices -1 (virtual output), 0, 1..
constexpr std::int32_t kNoDevice = -2;     // no row chosen: nothing is chosen
constexpr std::int32_t kTestNoteStatus = 144, kTestNoteKey = 64, kTestNoteVelocity = 64;
constexpr std::int32_t kNoteOffStatus = 0x80;
constexpr const char* kReportTitle = "Notecast";

void writeAction(MidiOutputControl& midi, MidiAction action) {
  midi.setAction(static_cast<std::int32_t>(action));
}

// The control's devices in list order. A port that goes while they are read ends the list
// there: its going is announced, and the list filled again.
std::vector<std::string> deviceNames(MidiOutputControl& control) {
  std::vector<std::string> names;
  const std::int16_t count = control.deviceCount();
  for (std::int32_t device = kFirstDevice; device < count; ++device) {
    control.setDeviceNumber(device);
    try {
      names.push_back(control.deviceName());
    } catch (const RuntimeError& error) {
      if (error.number() != static_cast<std::int32_t>(MidiError::kBadDevice)) throw;
      break;
    }
  }
  return names;
}

std::vector<OutputRow> rowsNamed(const std::vector<std::string>& names) {
  std::vector<OutputRow> rows;
  rows.reserve(names.size());
  for (const std::string& name : names) rows.push_back({name});
  return rows;
}

}  // namespace

MidiOutputControl& PluginCore::midi() {
  ensureLoaded();
  return *midi_;
}

void PluginCore::wakeRelay() {
  if (outputRelay_) outputRelay_->wake();
}

// The stored device is chosen by the event file.
void PluginCore::fillDeviceList() {
  const std::vector<std::string> names = deviceNames(midi());
  outputRows_ = rowsNamed(names);
  chosenOutput_ = -1;
  if (view_) view_->showOutputs();
}

void PluginCore::refreshDeviceList() {
  MidiOutputControl& control = midi();
  // The chosen output as the control knows it (an ALSA device plugged in again may carry new
  // numbers in its name), else the row the user or the event file chose. After a clear no row
  // is chosen until a load or the user chooses one, whatever output stays open.
  const MidiOutputStatus status = control.status();
  std::string keep;
  if (status.state != MidiOutputState::kNone && !outputListCleared_) {
    keep = status.name;
  } else if (chosenOutput_ >= 0) {
    keep = outputRows_[chosenOutput_].name;
  }
  const std::vector<std::string> names = deviceNames(control);
  if (!loaded_) return;  // a report's box let the core unload meanwhile
  outputRows_ = rowsNamed(names);
  const auto found = std::find(names.begin(), names.end(), keep);
  chosenOutput_ =
      keep.empty() || found == names.end() ? -1 : static_cast<int>(found - names.begin());
  if (chosenOutput_ < 0 && !keep.empty()) {
    // The choice stays, and is what the event file keeps, while the output is missing.
    outputRows_.push_back({keep, true});
    chosenOutput_ = static_cast<int>(outputRows_.size()) - 1;
  }
  if (view_) view_->showOutputs();
}

// A row names its output: the control finds it by that name (ports a list shows may be numbered
// otherwise a moment later) and keeps it chosen while it is missing.
void PluginCore::openChosenDevice() {
  MidiOutputControl& control = midi();
  if (chosenOutput_ < 0) {
    control.setDeviceNumber(kNoDevice);
  } else {
    control.setDeviceName(outputRows_[chosenOutput_].name);
  }
  writeAction(control, MidiAction::kOpen);
  wakeRelay();  // the list and the poll follow what the open found
}

void PluginCore::closeDevice() {
  releaseBefore(std::nullopt);
  writeAction(midi(), MidiAction::kClose);
  wakeRelay();  // nothing chosen: the poll stops
}

// Picking the chosen output again keeps it as it is: closing and opening it would cut the
// connections other programs made to our port, and a missing one opens when it is back anyway.
void PluginCore::chooseOutput(int row) {
  chosenOutput_ = row >= 0 && row < static_cast<int>(outputRows_.size()) ? row : -1;
  runStep([this] {
    MidiOutputControl& control = midi();
    const MidiOutputStatus status = control.status();
    const std::string picked = chosenOutput_ >= 0 ? outputRows_[chosenOutput_].name : "";
    if (status.state != MidiOutputState::kNone && picked == status.name) return;
    // The user's own pick is a change of the project, stored by the next save.
    runOutput_.reset();
    outputListCleared_ = false;
    releaseBefore(picked);
    writeAction(control, MidiAction::kClose);
    openChosenDevice();
  });
}

bool PluginCore::sendStep(std::int32_t status, std::int32_t data1, std::int32_t data2) {
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
  // A report's box may have let the core unload, and the control with it.
  if (midi_.get() == &control && !control.lastSendTaken()) {
    sendLog_.recordNotSent();
    return false;
  }
  // The control sends nothing, and raises nothing, for a status byte that starts no message.
  if (!sendLog_.recordSend(status, data1, data2)) return false;
  const std::span<const unsigned char> bytes = sendLog_.lastSent();
  soundingNotes_.track(bytes);
  if (messageSink_)
    messageSink_->MessageSent(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  return true;
}

// The notes are forgotten first: a note-off that cannot go out now never will to the synthesizer
// that heard the note (its output is going).
std::int32_t PluginCore::releaseNotes() {
  if (!loaded_ || !midi_ || soundingNotes_.count() == 0) return 0;
  std::int32_t released = 0;
  for (const SoundingNotes::Note note : soundingNotes_.takeAll()) {
    runStep([&] {
      if (sendStep(kNoteOffStatus | note.channel, note.key, 0)) ++released;
    });
  }
  notesReleased_ += released;
  return released;
}

// Without release the notes are forgotten all the same: they sounded on the output that goes.
void PluginCore::releaseBefore(const std::optional<std::string>& next) {
  if (!loaded_ || !midi_) return;
  const MidiOutputStatus status = midi_->status();
  if (status.state == MidiOutputState::kNone || (next && *next == status.name)) return;
  if (noteRelease_) {
    releaseNotes();
  } else {
    (void)soundingNotes_.takeAll();
  }
}

// The user pressed the button and waits for the note: a note that did not go out is told every
// time, by the device report when its cause is new, else by a box of its own.
void PluginCore::sendTestNote() {
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
class PluginCore::ReportsHeld {
 public:
  explicit ReportsHeld(PluginCore& core) : core_(core) {
    if (core_.reportsHeld_++ == 0 && core_.midi_) core_.midi_->setDeviceReport({});
  }
  ~ReportsHeld() {
    if (--core_.reportsHeld_ == 0 && core_.midi_) core_.installDeviceReport();
  }
  ReportsHeld(const ReportsHeld&) = delete;
  ReportsHeld& operator=(const ReportsHeld&) = delete;

 private:
  PluginCore& core_;
};

void PluginCore::installDeviceReport() {
  midi_->setDeviceReport(
      [this](std::int16_t& code, std::string& text) { onDeviceReport(code, text); });
}

void PluginCore::onDeviceReport(std::int16_t& code, std::string& text) {
  if (code == static_cast<std::int16_t>(MidiReportCode::kOk) ||
      code == static_cast<std::int16_t>(MidiReportCode::kClosed))
    return;
  ++boxesShown_;
  BoxRequests::ask({text, kReportTitle, BoxButtons::Ok, BoxIcon::None, BoxAnswer::Ok});
}

std::vector<std::string> PluginCore::outputNames() {
  const ReportsHeld held(*this);
  // The list needs the control, not the project: a load that could not read the project (there
  // may be none yet) made the control all the same, and LoadProjectData loads it again.
  runStep([this] { ensureLoaded(); });
  return deviceNames(midi());
}

KeptConnections::States PluginCore::keptConnectionStates() const {
  const KeptConnections::States now =
      loaded_ && midi_ ? midi_->keptConnectionStates() : KeptConnections::States{};
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

void PluginCore::onOutputChanged() {
  if (!loaded_) return;
  // A report's message box runs an event loop, in which the next change may come.
  if (handlingOutputChange_) {
    outputChangedAgain_ = true;
    return;
  }
  handlingOutputChange_ = true;
  runStep([this] {
    const bool missing = midi().recover();
    if (!loaded_) return;  // a report's box let the core unload meanwhile
    outputRelay_->setPolling(missing);
    refreshDeviceList();
  });
  handlingOutputChange_ = false;
  if (std::exchange(outputChangedAgain_, false)) wakeRelay();
}

void PluginCore::setOutputForRun(std::optional<std::string> name) {
  runOutput_ = std::move(name);
}

void PluginCore::setClientName(std::string name) {
  clientName_ = std::move(name);
  if (!loaded_ || !midi_ || clientName_.empty()) return;
  midi_->setClientName(clientName_);
  refreshDeviceList();
}

std::string PluginCore::ownPort() const {
  return loaded_ && midi_ ? midi_->ownPort() : std::string();
}

void PluginCore::setKeptConnections(std::vector<std::string> ports) {
  keptConnections_ = std::move(ports);
  if (!loaded_ || !midi_) return;
  midi_->setKeptConnections(keptConnections_);
  wakeRelay();  // the poll follows what the control found
}

void PluginCore::setOutputAdvice(std::string sentence) {
  outputAdvice_ = std::move(sentence);
  if (loaded_ && midi_) midi_->setOutputAdvice(outputAdvice_);
}

std::string PluginCore::deviceToStore() const {
  if (runOutput_) return fileDevice_;
  return chosenOutput_ >= 0 ? outputRows_[chosenOutput_].name : std::string();
}

MidiOutputStatus PluginCore::outputStatus() const {
  if (!loaded_ || !midi_) return {};
  return midi_->status();
}

}  // namespace notecast
