#include "midi/RtMidiOutputControl.h"

#include <algorithm>
#include <limits>
#include <thread>
#include <utility>

#include "abi/RuntimeError.h"
#include "midi/MidiWire.h"
#include "midi/QuietMidiLibraries.h"

namespace notecast {
namespace {

constexpr unsigned int kMaxDeviceCount = std::numeric_limits<std::int16_t>::max();
// How long a send waits for JACK to take earlier messages before the server counts as stalled.
constexpr std::chrono::milliseconds kJackPatience{250};

[[noreturn]] void fail(MidiError error, const std::string& description) {
  throw RuntimeError(static_cast<std::int32_t>(error), description);
}

std::string deviceLabel(std::int32_t device) {
  return "MIDI output device " + std::to_string(device);
}

}  // namespace

RtMidiOutputControl::RtMidiOutputControl(MidiApiChoice choice, std::shared_ptr<MidiToldCauses> told)
    : choice_(std::move(choice)),
      told_(std::move(told)),
      changes_(std::make_shared<MidiChangeSignal>()),
      pacing_([this] { return watch_ ? watch_->cycle() : 0; },
              [](std::chrono::microseconds moment) { std::this_thread::sleep_for(moment); },
              [] { return std::chrono::steady_clock::now(); }) {
  QuietMidiLibraries::ensure();  // before the watch's JACK client, too
  if (!choice_.notice().empty()) report(MidiReportCode::kBadSetting, choice_.notice());
}

RtMidiOutputControl::~RtMidiOutputControl() noexcept {
  changes_->mute();
  dropSystem();
}

void RtMidiOutputControl::setAction(std::int32_t action) {
  deliverWaitingReports();
  noticeLosses(false);
  switch (static_cast<MidiAction>(action)) {
    case MidiAction::kOpen:
      return open();
    case MidiAction::kClose:
      return close();
    case MidiAction::kSend:
      // A change the MIDI system announced may have brought the chosen output back: the send
      // does not wait for the owner's recover() to find it.
      if (changes_->take() && !chosen_.empty() && opened_ == Opened::kNothing) openChosen(true);
      return send();
  }
  fail(MidiError::kBadAction, "the MIDI output control has no action " + std::to_string(action));
}

void RtMidiOutputControl::setClientName(std::string name) {
  if (name == clientName_) return;
  clientName_ = std::move(name);
  if (!client_ && !watch_) return;
  // The port is the client's: a new name means a new client, and the output opened from it.
  dropSystem();
  if (!chosen_.empty()) openChosen();
}

std::string RtMidiOutputControl::ownPort() {
  return client_ ? ownClient_ + ":" + kPortName : std::string();
}

void RtMidiOutputControl::setDeviceNumber(std::int32_t device) {
  device_ = device;
  namedDevice_.reset();
}

std::string RtMidiOutputControl::deviceName() {
  deliverWaitingReports();
  noticeLosses(false);
  if (namedDevice_) return *namedDevice_;
  if (device_ == kVirtualDevice) return kVirtualDeviceName;
  if (device_ >= 0 && haveSystem()) {
    std::string name = client_->portName(static_cast<unsigned int>(device_));
    if (!name.empty()) return name;
  }
  fail(MidiError::kBadDevice, "there is no " + deviceLabel(device_));
}

std::int16_t RtMidiOutputControl::deviceCount() {
  deliverWaitingReports();
  noticeLosses(false);
  if (!haveSystem()) return 0;
  return static_cast<std::int16_t>(std::min(client_->portCount(), kMaxDeviceCount));
}

MidiOutputStatus RtMidiOutputControl::status() {
  if (chosen_.empty()) return {MidiOutputState::kNone, {}};
  bool open = opened_ != Opened::kNothing;
  // A loss the control has not looked at yet already shows (a cheap look, telling nothing).
  if (open && watch_)
    open = watch_->running() && (opened_ != Opened::kSystemPort || watch_->hasPort(chosen_));
  if (!open) return {MidiOutputState::kMissing, chosen_};
  return {toldStall_ ? MidiOutputState::kStalled : MidiOutputState::kOpen, chosen_};
}

void RtMidiOutputControl::setChangeNotifier(std::function<void()> notifier) {
  changes_->setNotifier(std::move(notifier));
}

void RtMidiOutputControl::open() {
  if (namedDevice_) return choose(*namedDevice_);
  const std::int32_t device = device_;
  // "No device chosen" (no row of the device list selected): nothing is opened, and nothing is
  // wrong yet; the first send tells the user once that no device is open.
  if (device == kNoDevice) return unchoose();
  if (device == kVirtualDevice) return choose(kVirtualDeviceName);
  if (device >= 0) {
    // Without a MIDI system a device number names nothing; the missing system is told once.
    if (!haveSystem()) return unchoose();
    std::string name = client_->portName(static_cast<unsigned int>(device));
    if (!name.empty()) return choose(name);
  }
  unchoose();
  told_->notOpen = true;  // the failed open tells why nothing is open
  report(MidiReportCode::kOpenFailed, "There is no " + deviceLabel(device) + ".");
  fail(MidiError::kBadDevice, "there is no " + deviceLabel(device));
}

void RtMidiOutputControl::choose(const std::string& name) {
  // Opening the output that is open keeps it open: closing and making the port again would cut
  // every connection other programs made to it (loading a project opens its output again).
  if (name == chosen_ && opened_ != Opened::kNothing) return;
  if (name != chosen_) {
    forgetOpenDevice();
    chosen_ = name;
    // A new choice is a new cause, unless it is the output already told missing (a new
    // control, made when the window loads again, choosing the stored output).
    if (told_->missingOutput != name) told_->missingOutput.clear();
  }
  told_->notOpen = false;
  openChosen();
}

void RtMidiOutputControl::unchoose() noexcept {
  forgetOpenDevice();
  chosen_.clear();
  told_->missingOutput.clear();
}

void RtMidiOutputControl::close() {
  if (chosen_.empty()) return;
  const std::string name = chosen_;
  unchoose();
  told_->notOpen = false;  // sending after the user closed is a new cause, worth one report
  report(MidiReportCode::kClosed, name + " is closed.");
}

void RtMidiOutputControl::send() {
  lastSendTaken_ = true;
  if (opened_ == Opened::kNothing) {
    // A missing chosen output and a missing MIDI system were told when they began.
    if (chosen_.empty() && !told_->noSystem && !told_->notOpen) {
      told_->notOpen = true;
      report(MidiReportCode::kNotOpen,
             "No MIDI output device is open. " + (advice_.empty() ? kOwnAdvice : advice_));
    }
    fail(MidiError::kNotOpen, chosen_.empty() ? "no MIDI output device is open"
                                              : "MIDI output " + chosen_ + " is not there now");
  }
  const std::vector<unsigned char> bytes = MidiWire::shortMessage(status_, data1_, data2_);
  if (bytes.empty()) {
    if (!toldUnsendable_) {
      toldUnsendable_ = true;
      report(MidiReportCode::kSendFailed,
             "Status byte " + std::to_string(status_) +
                 " starts no MIDI short message; messages with such a status are not sent.");
    }
    return;
  }
  // JACK takes a flood of messages at its own pace; a server that runs no cycles takes none.
  // A message it cannot take now is not sent, at once, and the show goes on.
  if (watch_) {
    lastSendTaken_ = pacing_.makeRoom(bytes.size(), kJackPatience);
    if (!lastSendTaken_) ++notSentInStall_;
    tellStall();
    if (!lastSendTaken_) return;
  }
  const std::string complaint = client_->send(bytes);
  if (complaint.empty()) return;
  if (!toldSendFailed_) {
    toldSendFailed_ = true;
    report(MidiReportCode::kSendFailed, "Cannot send to " + chosen_ + ": " + complaint);
  }
  fail(MidiError::kSendFailed, complaint);
}

void RtMidiOutputControl::tellStall() {
  const bool stalled = watch_ && pacing_.stalled();
  if (stalled == toldStall_) return;
  toldStall_ = stalled;
  if (stalled) {
    changes_->raise();  // the owner polls recover(), which finds the end of the stall
    return report(MidiReportCode::kSendFailed,
                  "MIDI output " + chosen_ +
                      ": the JACK server is not running its cycles; messages are not sent until "
                      "it runs again.");
  }
  const std::int64_t notSent = std::exchange(notSentInStall_, 0);
  report(MidiReportCode::kDeviceBack,
         "MIDI output " + chosen_ + ": the JACK server is running its cycles again; " +
             std::to_string(notSent) + (notSent == 1 ? " message was" : " messages were") +
             " not sent.");
}

}  // namespace notecast
