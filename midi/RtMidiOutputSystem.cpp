// The output control's hold on the MIDI system and its device report: connecting when first
// needed, noticing what went away, and telling each cause once.

#include "midi/RtMidiOutputControl.h"

namespace notecast {
namespace {

// Reports kept for a handler not yet installed; the causes are latched, so few ever wait.
constexpr std::size_t kMaxWaitingReports = 8;

}  // namespace

std::string RtMidiOutputControl::connectSystem() {
  if (client_) return {};
  std::string complaint;
  if (choice_.system() == MidiSystem::kJack) {
    // Probing with a client of our own keeps RtMidi from printing "JACK server not running?".
    watch_ = JackServerWatch::connect();
    if (!watch_) return "no JACK server is running";
    client_ = RtMidiClient::create(RtMidi::UNIX_JACK, kClientName, &complaint);
  } else {
    if (!MidiApiChoice::sequencerPresent())
      return std::string("the ALSA sequencer ") + MidiApiChoice::kSequencerDevice +
             " is not available";
    client_ = RtMidiClient::create(RtMidi::LINUX_ALSA, kClientName, &complaint);
  }
  if (client_) return {};
  watch_.reset();
  return complaint;
}

bool RtMidiOutputControl::haveSystem() {
  const std::string missing = connectSystem();
  if (missing.empty()) {
    toldNoSystem_ = false;
    return true;
  }
  if (!toldNoSystem_) {
    toldNoSystem_ = true;
    report(MidiReportCode::kNoMidiSystem, "No MIDI output is possible: " + missing + ".");
  }
  return false;
}

void RtMidiOutputControl::dropSystem() noexcept {
  forgetOpenDevice();
  client_.reset();
  watch_.reset();
}

void RtMidiOutputControl::noticeLosses() {
  if (watch_ && !watch_->running()) {
    // With nothing open the loss matters only if the server is still missing when next needed.
    if (opened_ == Opened::kNothing) return dropSystem();
    const std::string name = openName_;
    dropSystem();
    toldNoSystem_ = true;
    return closeToldDevice(MidiReportCode::kNoMidiSystem,
                           "The JACK server has stopped; " + name + " is closed.");
  }
  if (opened_ == Opened::kSystemPort && watch_ && !watch_->hasPort(openName_)) {
    const std::string name = openName_;
    forgetOpenDevice();
    closeToldDevice(MidiReportCode::kDeviceGone, name + " has gone away; it is closed.");
  }
}

// Closing drops the whole client: ALSA keeps a virtual port until its client goes.
void RtMidiOutputControl::forgetOpenDevice() noexcept {
  if (opened_ == Opened::kNothing) return;
  opened_ = Opened::kNothing;
  openName_.clear();
  client_.reset();
}

void RtMidiOutputControl::closeToldDevice(MidiReportCode code, const std::string& text) {
  forgetOpenDevice();
  toldNotOpen_ = true;
  report(code, text);
}

void RtMidiOutputControl::report(MidiReportCode code, std::string text) {
  if (report_) return deliver(code, std::move(text));
  if (waitingReports_.size() < kMaxWaitingReports)
    waitingReports_.emplace_back(code, std::move(text));
}

void RtMidiOutputControl::deliverWaitingReports() {
  if (!report_ || waitingReports_.empty()) return;
  auto waiting = std::move(waitingReports_);
  waitingReports_.clear();
  for (auto& [code, text] : waiting) deliver(code, std::move(text));
}

// A copy of the handler runs, so that it may replace itself.
void RtMidiOutputControl::deliver(MidiReportCode code, std::string text) {
  DeviceReport handler = report_;
  auto number = static_cast<std::int16_t>(code);
  handler(number, text);
}

}  // namespace notecast
