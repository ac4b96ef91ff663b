// The output control's losses and returns: noticing that the open output went away (its port,
// its program, the JACK server), opening the chosen output again once it is back, and telling
// each once.

#include <algorithm>
#include <thread>

#include "midi/RtMidiOutputControl.h"

namespace notecast {
namespace {

using namespace std::chrono_literals;

constexpr const char* kOpensAgain = " It opens again by itself as soon as it is back.";
constexpr const char* kOpensLater = " It opens by itself as soon as it can.";
// A JACK connection shows in the graph from the server's next cycle on; a few cycles, within
// these bounds, tell whether it was made.
constexpr auto kConnectionShowsSoonest = 20ms;
constexpr auto kConnectionShowsLatest = 500ms;
constexpr int kConnectionCycles = 4;
// Shorter than the owner's poll, so that every poll tries again.
constexpr auto kRetryPause = 500ms;

std::string clientOf(const std::string& port) {
  return port.substr(0, port.find(':'));
}

}  // namespace

bool RtMidiOutputControl::recover() {
  deliverWaitingReports();
  changes_->take();
  noticeLosses(true);
  // A stalled server answers no request: nothing more is asked of it until it runs again.
  if (toldStall_) {
    if (watch_ && pacing_.lookAgain()) return true;
    tellStall();
  }
  if (!chosen_.empty()) {
    if (opened_ == Opened::kNothing) openChosen(true);
  } else if (connectSystem().empty()) {
    told_->noSystem = false;
  }
  keepConnections();
  const bool connected = client_ != nullptr;
  return !connected || (!chosen_.empty() && opened_ == Opened::kNothing) || kept_.pending();
}

void RtMidiOutputControl::noticeLosses(bool thorough) {
  if (watch_ && !watch_->running()) {
    const bool wasOpen = opened_ != Opened::kNothing;
    dropSystem();
    changes_->raise();  // the owner starts looking for the server's return
    // With nothing chosen the loss matters only if the server is still missing when next needed.
    if (chosen_.empty() || (!wasOpen && told_->noSystem)) return;
    told_->noSystem = true;
    if (!wasOpen) {
      report(MidiReportCode::kNoMidiSystem,
             "No MIDI output is possible: the JACK server has stopped.");
      return;
    }
    told_->missingOutput = chosen_;
    report(MidiReportCode::kNoMidiSystem,
           "MIDI output " + chosen_ + " has gone away: the JACK server has stopped." + kOpensAgain);
    return;
  }
  if (opened_ != Opened::kSystemPort) return;
  bool gone = false;
  if (watch_) {
    gone = !watch_->hasPort(chosen_);
  } else if (thorough) {
    std::string listed;
    gone = !findPort(chosen_, &listed);
  }
  if (!gone) return;
  forgetOpenDevice();
  changes_->raise();
  std::string cause = "it was unplugged or its program has closed";
  if (watch_)
    cause =
        watch_->hasClient(clientOf(chosen_)) ? "its port was removed" : "its program has closed";
  told_->missingOutput = chosen_;
  report(MidiReportCode::kDeviceGone,
         "MIDI output " + chosen_ + " has gone away: " + cause + "." + kOpensAgain);
}

void RtMidiOutputControl::openChosen(bool retry) {
  if (retry && std::chrono::steady_clock::now() < retryAfter_) return;
  const std::string missing = connectSystem();
  if (!missing.empty()) {
    // Told once for the whole system; the chosen output's absence goes with it.
    if (told_->noSystem) {
      told_->missingOutput = chosen_;
      return;
    }
    told_->noSystem = true;
    return tellMissing(MidiReportCode::kNoMidiSystem,
                       "Cannot open " + chosen_ + ": " + missing + "." + kOpensLater);
  }
  told_->noSystem = false;
  std::string complaint;
  Opened opened = Opened::kVirtualPort;
  if (chosen_ == kVirtualDeviceName) {
    complaint = client_->openVirtualPort(kPortName);
  } else {
    std::string listed;
    const std::optional<unsigned int> index = findPort(chosen_, &listed);
    if (!index)
      return tellMissing(MidiReportCode::kOpenFailed,
                         "Cannot open " + chosen_ + ": it is not there." + kOpensLater);
    opened = Opened::kSystemPort;
    complaint = client_->openPort(*index, kPortName);
    // RtMidi on JACK takes a failed connection for an open port (the destination's program may
    // have made its port but not be active yet): the graph tells, where it can.
    if (complaint.empty() && watch_ && JackServerWatch::seesReturnedPorts() &&
        !connectionMade(listed))
      complaint = "its program does not take connections yet";
    if (complaint.empty() && listed != chosen_) {
      if (told_->missingOutput == chosen_) told_->missingOutput = listed;
      chosen_ = listed;  // the same ALSA device under its new numbers
    }
  }
  if (!complaint.empty()) {
    dropClient();  // drops a port left half made
    retryAfter_ = std::chrono::steady_clock::now() + kRetryPause;
    return tellMissing(MidiReportCode::kOpenFailed,
                       "Cannot open " + chosen_ + ": " + complaint + "." + kOpensLater);
  }
  opened_ = opened;
  toldUnsendable_ = toldSendFailed_ = false;
  keepConnections();
  const bool wasToldMissing = told_->missingOutput == chosen_;
  told_->missingOutput.clear();
  if (wasToldMissing)
    return report(MidiReportCode::kDeviceBack, "MIDI output " + chosen_ + " is back");
  report(MidiReportCode::kOk, chosen_ + " is open.");
}

bool RtMidiOutputControl::connectionMade(const std::string& port) {
  const auto wait = std::clamp<std::chrono::microseconds>(
      watch_->period() * kConnectionCycles, kConnectionShowsSoonest, kConnectionShowsLatest);
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    const std::vector<std::string> connected = watch_->connectionsOf(port);
    if (std::find(connected.begin(), connected.end(), ownJackPort()) != connected.end())
      return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
}

void RtMidiOutputControl::tellMissing(MidiReportCode code, const std::string& text) {
  if (told_->missingOutput == chosen_) return;
  told_->missingOutput = chosen_;
  report(code, text);
}

}  // namespace notecast
