#include "midi/RtMidiOutputControl.h"

#include <algorithm>
#include <limits>

#include "abi/RuntimeError.h"
#include "midi/MidiWire.h"
#include "midi/QuietMidiLibraries.h"

namespace notecast {
namespace {

constexpr unsigned int kMaxDeviceCount = std::numeric_limits<std::int16_t>::max();

[[noreturn]] void fail(MidiError error, const std::string& description) {
  throw RuntimeError(static_cast<std::int32_t>(error), description);
}

std::string deviceLabel(std::int32_t device) {
  return "MIDI output device " + std::to_string(device);
}

}  // namespace

RtMidiOutputControl::RtMidiOutputControl(MidiApiChoice choice) : choice_(std::move(choice)) {
  QuietMidiLibraries::ensure();  // before the watch's JACK client, too
  if (!choice_.notice().empty()) report(MidiReportCode::kBadSetting, choice_.notice());
}

RtMidiOutputControl::~RtMidiOutputControl() noexcept = default;

void RtMidiOutputControl::setAction(std::int32_t action) {
  deliverWaitingReports();
  noticeLosses();
  switch (static_cast<MidiAction>(action)) {
    case MidiAction::kOpen:
      return open();
    case MidiAction::kClose:
      return close();
    case MidiAction::kSend:
      return send();
  }
  fail(MidiError::kBadAction, "the MIDI output control has no action " + std::to_string(action));
}

std::string RtMidiOutputControl::deviceName() {
  deliverWaitingReports();
  noticeLosses();
  if (device_ == kVirtualDevice) return kVirtualDeviceName;
  if (device_ >= 0 && haveSystem()) {
    std::string name = client_->portName(static_cast<unsigned int>(device_));
    if (!name.empty()) return name;
  }
  fail(MidiError::kBadDevice, "there is no " + deviceLabel(device_));
}

std::int16_t RtMidiOutputControl::deviceCount() {
  deliverWaitingReports();
  noticeLosses();
  if (!haveSystem()) return 0;
  return static_cast<std::int16_t>(std::min(client_->portCount(), kMaxDeviceCount));
}

void RtMidiOutputControl::open() {
  const std::int32_t device = device_;
  // Opening the device that is open keeps it open: closing and making the port again would cut
  // every connection other programs made to it (loading a project opens its device again).
  if (isOpen(device)) return;
  forgetOpenDevice();
  // "No device chosen" (no row of the device list selected): nothing is opened, and nothing is
  // wrong yet; the first send tells the user once that no device is open.
  if (device == kNoDevice) return;
  if (device < kVirtualDevice) {
    closeToldDevice(MidiReportCode::kOpenFailed, "There is no " + deviceLabel(device) + ".");
    fail(MidiError::kBadDevice, "there is no " + deviceLabel(device));
  }
  const std::string missing = connectSystem();
  if (!missing.empty()) {
    toldNoSystem_ = true;
    const std::string what = device == kVirtualDevice ? kVirtualDeviceName : deviceLabel(device);
    return closeToldDevice(MidiReportCode::kNoMidiSystem, "Cannot open " + what + ": " + missing);
  }
  if (device != kVirtualDevice && static_cast<unsigned int>(device) >= client_->portCount()) {
    closeToldDevice(MidiReportCode::kOpenFailed, "There is no " + deviceLabel(device) + ".");
    fail(MidiError::kBadDevice, "there is no " + deviceLabel(device));
  }
  openDevice(device);
}

void RtMidiOutputControl::openDevice(std::int32_t device) {
  std::string name = kVirtualDeviceName;
  std::string complaint;
  if (device == kVirtualDevice) {
    complaint = client_->openVirtualPort(kPortName);
  } else {
    name = client_->portName(static_cast<unsigned int>(device));
    complaint = client_->openPort(static_cast<unsigned int>(device), kPortName);
    // RtMidi on JACK takes a failed connection for an open port: check the port is there.
    if (complaint.empty() && watch_ && !watch_->hasPort(name)) complaint = "it has gone away";
  }
  if (!complaint.empty()) {
    client_.reset();  // drops a port left half made
    const std::string what = name.empty() ? deviceLabel(device) : name;
    return closeToldDevice(MidiReportCode::kOpenFailed, "Cannot open " + what + ": " + complaint);
  }
  opened_ = device == kVirtualDevice ? Opened::kVirtualPort : Opened::kSystemPort;
  openName_ = name;
  toldNotOpen_ = toldUnsendable_ = toldSendFailed_ = false;
  report(MidiReportCode::kOk, name + " is open.");
}

bool RtMidiOutputControl::isOpen(std::int32_t device) {
  if (opened_ == Opened::kVirtualPort) return device == kVirtualDevice;
  if (opened_ != Opened::kSystemPort || device < 0 || !haveSystem()) return false;
  return client_->portName(static_cast<unsigned int>(device)) == openName_;
}

void RtMidiOutputControl::close() {
  if (opened_ == Opened::kNothing) return;
  const std::string name = openName_;
  forgetOpenDevice();
  toldNotOpen_ = false;  // sending after the user closed is a new cause, worth one report
  report(MidiReportCode::kClosed, name + " is closed.");
}

void RtMidiOutputControl::send() {
  if (opened_ == Opened::kNothing) {
    if (!toldNotOpen_) {
      toldNotOpen_ = true;
      report(MidiReportCode::kNotOpen,
             "No MIDI output device is open. Choose one under \"Midi-Output-Driver:\" in the "
             "Notecast window.");
    }
    fail(MidiError::kNotOpen, "no MIDI output device is open");
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
  const std::string complaint = client_->send(bytes);
  if (complaint.empty()) return;
  if (!toldSendFailed_) {
    toldSendFailed_ = true;
    report(MidiReportCode::kSendFailed, "Cannot send to " + openName_ + ": " + complaint);
  }
  fail(MidiError::kSendFailed, complaint);
}

}  // namespace notecast
