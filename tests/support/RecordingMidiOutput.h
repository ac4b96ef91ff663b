#pragma once
// A MIDI output control for tests of the code that drives one (window, dispatch). It records
// what it is asked instead of sending anything:
//
//   RecordingMidiOutput midi({"reader:in", "synth:midi_in"});   // devices 0 and 1
//   setMidiOutputFactory([&] { return std::make_unique<RecordingMidiOutput::Handle>(midi); });
//   ... code under test ...
//   EXPECT_EQ(midi.log(), (std::vector<std::string>{"DeviceCount?", "DeviceNumber=-1",
//                                                   "DeviceName?", ...}));
//   EXPECT_EQ(midi.sent(), (std::vector<RecordingMidiOutput::Message>{{144, 64, 64}}));
//
// log(): every property write as "Name=value" and every read as "Name?", in order (status(),
// recover() and the notifier are not properties: they are not logged).
// sent(): (status, data1, data2) as written, for each Action=7.
// openDevice(): the device of the last Action=1 (by DeviceNumber, or the device of the name
// written to DeviceName), until an Action=2; nothing after an Action=1 of device -2.
// status(): kOpen and the name for an open device; kMissing for a DeviceName that names none
// of the devices; kNone otherwise. recover() counts its calls (recovers()) and answers whether
// the status is kMissing. notifyChange(): calls the installed change notifier, as the MIDI
// system's thread would.
// DeviceName of -1 is "Notecast virtual output"; outside -1..n-1 it throws
// RuntimeError(kBadDevice). An Action other than 1, 2, 7 throws RuntimeError(kBadAction).
// failOnWrite(n): the nth write from now (1 = the next) is logged, has no effect, and throws
// RuntimeError(error). fireReport(code, text): calls the installed device report handler.
// Handle: a unique_ptr-able forwarder, so a test keeps the recorder after the code under test
// has destroyed "its" control.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "abi/RuntimeError.h"
#include "midi/MidiOutputControl.h"

namespace notecast {

class RecordingMidiOutput : public MidiOutputControl {
 public:
  static constexpr std::int32_t kVirtualDevice = -1;
  static constexpr const char* kVirtualDeviceName = "Notecast virtual output";

  struct Message {
    std::int32_t status, data1, data2;
    friend bool operator==(const Message&, const Message&) = default;
  };

  class Handle;

  explicit RecordingMidiOutput(std::vector<std::string> devices = {})
      : devices_(std::move(devices)) {}

  const std::vector<std::string>& log() const { return log_; }
  const std::vector<Message>& sent() const { return sent_; }
  std::optional<std::int32_t> openDevice() const { return open_; }
  int recovers() const { return recovers_; }
  bool notifyChange() const {
    if (!notifier_) return false;
    notifier_();
    return true;
  }
  void clearLog() { log_.clear(); }
  void setDevices(std::vector<std::string> devices) { devices_ = std::move(devices); }

  void failOnWrite(int n, MidiError error = MidiError::kSendFailed) {
    writesUntilFailure_ = n;
    failure_ = error;
  }

  bool fireReport(MidiReportCode code, std::string text) {
    if (!report_) return false;
    auto number = static_cast<std::int16_t>(code);
    DeviceReport handler = report_;
    handler(number, text);
    return true;
  }

  void setAction(std::int32_t action) override {
    write("Action", action);
    switch (static_cast<MidiAction>(action)) {
      case MidiAction::kOpen:
        return open();
      case MidiAction::kClose:
        open_.reset();
        openName_.clear();
        return;
      case MidiAction::kSend:
        sent_.push_back({status_, data1_, data2_});
        return;
    }
    throw RuntimeError(static_cast<std::int32_t>(MidiError::kBadAction), "no such action");
  }
  void setDeviceNumber(std::int32_t device) override {
    write("DeviceNumber", device);
    device_ = device;
    name_.reset();
  }
  void setDeviceName(const std::string& name) override {
    write("DeviceName", name);
    name_ = name;
  }
  std::string deviceName() override {
    log_.push_back("DeviceName?");
    if (device_ == kVirtualDevice) return kVirtualDeviceName;
    if (device_ < 0 || device_ >= static_cast<std::int32_t>(devices_.size()))
      throw RuntimeError(static_cast<std::int32_t>(MidiError::kBadDevice), "no such device");
    return devices_[static_cast<std::size_t>(device_)];
  }
  void setStatusByte(std::int32_t value) override {
    write("StatusByte", value);
    status_ = value;
  }
  void setDataByte1(std::int32_t value) override {
    write("DataByte1", value);
    data1_ = value;
  }
  void setDataByte2(std::int32_t value) override {
    write("DataByte2", value);
    data2_ = value;
  }
  std::int16_t deviceCount() override {
    log_.push_back("DeviceCount?");
    return static_cast<std::int16_t>(devices_.size());
  }
  void setDeviceReport(DeviceReport report) override { report_ = std::move(report); }
  MidiOutputStatus status() override {
    if (open_) return {MidiOutputState::kOpen, openName_};
    if (!openName_.empty()) return {MidiOutputState::kMissing, openName_};
    return {};
  }
  void setChangeNotifier(std::function<void()> notifier) override {
    notifier_ = std::move(notifier);
  }
  bool recover() override {
    ++recovers_;
    return status().state == MidiOutputState::kMissing;
  }
  // Kept, not logged: the window hands the list to every control it makes.
  void setKeptConnections(std::vector<std::string> ports) override { kept_ = std::move(ports); }
  const std::vector<std::string>& keptConnections() const { return kept_; }

 private:
  void open() {
    open_.reset();
    openName_.clear();
    if (!name_) {
      if (device_ == kVirtualDevice) openName_ = kVirtualDeviceName;
      if (device_ >= 0 && device_ < static_cast<std::int32_t>(devices_.size()))
        openName_ = devices_[static_cast<std::size_t>(device_)];
      if (!openName_.empty()) open_ = device_;
      return;
    }
    openName_ = *name_;
    if (*name_ == kVirtualDeviceName) open_ = kVirtualDevice;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
      if (devices_[i] == *name_) open_ = static_cast<std::int32_t>(i);
    }
  }

  // Logs the write; throws when it is the one told to fail.
  void write(const char* property, std::int32_t value) { write(property, std::to_string(value)); }
  void write(const char* property, const std::string& value) {
    log_.push_back(std::string(property) + "=" + value);
    if (writesUntilFailure_ > 0 && --writesUntilFailure_ == 0)
      throw RuntimeError(static_cast<std::int32_t>(failure_), "recorded failure");
  }

  std::vector<std::string> devices_;
  std::vector<std::string> kept_;
  std::vector<std::string> log_;
  std::vector<Message> sent_;
  std::optional<std::int32_t> open_;
  std::string openName_;  // the chosen output, open (open_) or not
  std::int32_t device_ = kVirtualDevice;
  std::optional<std::string> name_;  // DeviceName written after DeviceNumber
  std::int32_t status_ = 0, data1_ = 0, data2_ = 0;
  int writesUntilFailure_ = 0;
  MidiError failure_ = MidiError::kSendFailed;
  DeviceReport report_;
  std::function<void()> notifier_;
  int recovers_ = 0;
};

// Forwards every operation to a recorder that the test owns.
class RecordingMidiOutput::Handle : public MidiOutputControl {
 public:
  explicit Handle(RecordingMidiOutput& recorder) : recorder_(recorder) {}
  void setAction(std::int32_t action) override { recorder_.setAction(action); }
  void setDeviceNumber(std::int32_t device) override { recorder_.setDeviceNumber(device); }
  void setDeviceName(const std::string& name) override { recorder_.setDeviceName(name); }
  std::string deviceName() override { return recorder_.deviceName(); }
  void setStatusByte(std::int32_t value) override { recorder_.setStatusByte(value); }
  void setDataByte1(std::int32_t value) override { recorder_.setDataByte1(value); }
  void setDataByte2(std::int32_t value) override { recorder_.setDataByte2(value); }
  std::int16_t deviceCount() override { return recorder_.deviceCount(); }
  void setDeviceReport(DeviceReport report) override {
    recorder_.setDeviceReport(std::move(report));
  }
  MidiOutputStatus status() override { return recorder_.status(); }
  void setChangeNotifier(std::function<void()> notifier) override {
    recorder_.setChangeNotifier(std::move(notifier));
  }
  bool recover() override { return recorder_.recover(); }
  void setKeptConnections(std::vector<std::string> ports) override {
    recorder_.setKeptConnections(std::move(ports));
  }

 private:
  RecordingMidiOutput& recorder_;
};

}  // namespace notecast
