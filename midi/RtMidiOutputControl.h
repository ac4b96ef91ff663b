#pragma once
// The MIDI output control over RtMidi, on ALSA or JACK (MidiApiChoice).
//
// Devices: -1 is the plug-in's own virtual output port, client "Notecast", port "out" (JACK:
// "Notecast:out"), named "Notecast virtual output". 0..n-1 are the ports RtMidi lists as
// output destinations, named exactly as it names them. That list only ever holds ports that
// take MIDI in; our own port only sends, so it is never among them and device 0 can never
// loop back into the plug-in. Opening device k connects a "Notecast:out" port to it. (A second
// plug-in on the same JACK server gets JACK's usual renaming, "Notecast-01:out".)
//
// The MIDI system is reached when first needed and reached again after it went away, so a JACK
// server started after the plug-in is found at the next DeviceCount or open.
//
// Outcomes, each told through the device report:
//   open            kOk when open. A device number below -1 or past the list: kOpenFailed and
//                   RuntimeError(kBadDevice). A valid device that will not open: kOpenFailed,
//                   or kNoMidiSystem when there is no MIDI system; no exception, nothing open.
//                   Whatever was open is closed first, without a kClosed report.
//   close           kClosed when something was open; closing nothing does nothing.
//   send            the message by the MidiWire rule. While nothing is open: RuntimeError
//                   (kNotOpen), with one kNotOpen report until a device is open again; when
//                   the cause was already told (a failed open, a device or server gone) no
//                   further report. A status byte that starts no short message sends nothing
//                   and is no failure: one kSendFailed report per open device. The MIDI
//                   system refusing a message: RuntimeError(kSendFailed), reported once per
//                   open device.
//   device gone     (JACK) found at the next action, DeviceName or DeviceCount: the device is
//                   closed, one kDeviceGone report. The server stopping while a device is open
//                   likewise, with kNoMidiSystem.
//   no MIDI system  DeviceCount is 0 and one kNoMidiSystem report until the system is found.
//   bad setting     an unknown NOTECAST_MIDI_API value: one kBadSetting report.
// Reports made before a handler is installed wait for the first operation after it.
// Every report is made after the control's state is settled, so a handler may call the control
// again (a message box runs a nested event loop in which the dispatch goes on sending).
// Nothing is printed. Noticing that the JACK server stopped while a device was open takes up to
// one second (RtMidi waits that long for a JACK cycle that will not come).

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "midi/JackServerWatch.h"
#include "midi/MidiApiChoice.h"
#include "midi/MidiOutputControl.h"
#include "midi/RtMidiClient.h"

namespace notecast {

class RtMidiOutputControl final : public MidiOutputControl {
 public:
  static constexpr std::int32_t kVirtualDevice = -1;
  static constexpr std::int32_t kNoDevice = -2;  // no row of the device list selected
  static constexpr const char* kClientName = "Notecast";
  static constexpr const char* kPortName = "out";
  static constexpr const char* kVirtualDeviceName = "Notecast virtual output";

  explicit RtMidiOutputControl(MidiApiChoice choice = MidiApiChoice::fromEnvironment());
  ~RtMidiOutputControl() noexcept override;

  void setAction(std::int32_t action) override;
  void setDeviceNumber(std::int32_t device) override { device_ = device; }
  std::string deviceName() override;
  void setStatusByte(std::int32_t value) override { status_ = value; }
  void setDataByte1(std::int32_t value) override { data1_ = value; }
  void setDataByte2(std::int32_t value) override { data2_ = value; }
  std::int16_t deviceCount() override;
  void setDeviceReport(DeviceReport report) override { report_ = std::move(report); }

 private:
  enum class Opened { kNothing, kVirtualPort, kSystemPort };

  void open();
  void openDevice(std::int32_t device);
  void close();
  void send();

  // Connects to the MIDI system unless connected; empty when connected, else why not.
  std::string connectSystem();
  // connectSystem, reporting an absent system once per absence.
  bool haveSystem();
  void dropSystem() noexcept;
  // Closes what went away since the last operation, and tells so.
  void noticeLosses();
  void forgetOpenDevice() noexcept;
  bool isOpen(std::int32_t device);
  // Closes for a reason the user has been told; sends fail silently until the next open.
  void closeToldDevice(MidiReportCode code, const std::string& text);

  void report(MidiReportCode code, std::string text);
  void deliverWaitingReports();
  void deliver(MidiReportCode code, std::string text);

  MidiApiChoice choice_;
  std::unique_ptr<JackServerWatch> watch_;  // JACK only; outlives the client
  std::unique_ptr<RtMidiClient> client_;

  std::int32_t device_ = kVirtualDevice;
  std::int32_t status_ = 0;
  std::int32_t data1_ = 0;
  std::int32_t data2_ = 0;

  Opened opened_ = Opened::kNothing;
  std::string openName_;  // the open device's name; the JACK port to watch for a system port

  // One report per cause: set when told, cleared when the cause is gone.
  bool toldNoSystem_ = false;
  bool toldNotOpen_ = false;
  bool toldUnsendable_ = false;
  bool toldSendFailed_ = false;

  DeviceReport report_;
  std::vector<std::pair<MidiReportCode, std::string>> waitingReports_;
};

}  // namespace notecast
