#pragma once
// The MIDI output control over RtMidi, on ALSA or JACK (MidiApiChoice).
//
// Devices: -1 is the plug-in's own virtual output port, client "Notecast", port "out" (JACK:
// "Notecast:out"), named "Notecast virtual output". 0..n-1 are the ports RtMidi lists as
// output destinations, named exactly as it names them. That list only ever holds ports that
// take MIDI in; our own port only sends, so it is never among them and device 0 can never
// loop back into the plug-in. Opening device k connects a "Notecast:out" port to it. A second
// plug-in on the same JACK server gets JACK's usual renaming, "Notecast-01:out": the control
// learns its client's name as JACK gave it, and connects and checks from that port.
//
// The chosen output is kept by name. Opening chooses it (DeviceName, or the name of device
// DeviceNumber); it stays chosen until the user closes it or chooses another, also while it is
// not there (status() kMissing). Whenever it is not open the control opens it as soon as it is
// there again: its port back, its program started again, the MIDI system back (the virtual port
// is made again after a JACK server restart). ALSA names carry the sequencer's client and port
// numbers ("synth:in 20:0"), which can change when a device is plugged in again: an ALSA output
// whose name differs only in those numbers is the same output.
//
// Notifications: JACK through the watch client's callbacks (JackServerWatch), ALSA through the
// sequencer's announcements (AlsaSequencerWatch). They raise the change notifier; recover() and
// the next send act on them. A MIDI system that is not running cannot notify: recover() returns
// true while the owner should poll it.
//
// Outcomes, each told through the device report, once per cause (MidiToldCauses):
//   open            kOk when open. A device number below -1 or past the list: kOpenFailed and
//                   RuntimeError(kBadDevice), nothing chosen. A chosen output that is not there
//                   or will not open: kOpenFailed; one that cannot open because there is no
//                   MIDI system: kNoMidiSystem (nothing when that was told already). No
//                   exception; it opens by itself later. Whatever was open is closed first,
//                   without a kClosed report; opening the open output keeps it open.
//   close           kClosed when something was chosen; closing nothing does nothing.
//   send            the message by the MidiWire rule. While nothing is open: RuntimeError
//                   (kNotOpen). With nothing chosen, one kNotOpen report ("No MIDI output
//                   device is open. " and the advice, kOwnAdvice unless setOutputAdvice gave
//                   one) until something is chosen, unless the missing MIDI system was told;
//                   with the chosen output missing no report (its loss was told). A status
//                   byte that starts no short message sends nothing and is no failure: one
//                   kSendFailed report per open device. The MIDI system refusing a message:
//                   RuntimeError(kSendFailed), reported once per open device.
//   JACK stalled    the server runs no cycles (JackSendPacing): every send returns at once
//                   without sending (lastSendTaken() false, nothing raised), told once with
//                   kSendFailed ("... the JACK server is not running its cycles; ..."), and the
//                   end once with kDeviceBack, with the number of messages not sent meanwhile;
//                   recover() looks for the end.
//   output gone     found at the next action, DeviceName, DeviceCount or recover(): kDeviceGone
//                   naming the output and the cause (its port removed, its program closed), or
//                   kNoMidiSystem when the JACK server stopped.
//   output back     kDeviceBack "MIDI output <name> is back", when an output told missing opens.
//   no MIDI system  DeviceCount is 0 and one kNoMidiSystem report until the system is found.
//   bad setting     an unknown NOTECAST_MIDI_API value: one kBadSetting report.
// Reports made before a handler is installed wait for the first operation after it.
// Every report is made after the control's state is settled, so a handler may call the control
// again (a message box runs a nested event loop in which the dispatch goes on sending).
// Kept connections (setKeptConnections, KeptConnections): whenever our port exists, it is
// connected to each named destination that appeared since the last look; the looks are the
// open and recover(), so the same notifications that bring the output back bring them back. JACK
// connects through the watch's client, ALSA subscribes through a sequencer client of its own
// (AlsaSequencerPorts).
// Nothing is printed, except one line on standard error for a close left behind (BoundedClose).
// Noticing that the JACK server stopped while a device was open takes up to one second (RtMidi
// waits that long for a JACK cycle that will not come). Leaving a server that runs no cycles
// takes a fraction of a second: its closes are left behind (BoundedClose) at once.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "midi/AlsaSequencerWatch.h"
#include "midi/JackSendPacing.h"
#include "midi/JackServerWatch.h"
#include "midi/KeptConnections.h"
#include "midi/MidiApiChoice.h"
#include "midi/MidiChangeSignal.h"
#include "midi/MidiOutputControl.h"
#include "midi/MidiToldCauses.h"
#include "midi/RtMidiClient.h"

namespace notecast {

class RtMidiOutputControl final : public MidiOutputControl {
 public:
  static constexpr std::int32_t kVirtualDevice = -1;
  static constexpr std::int32_t kNoDevice = -2;  // no row of the device list selected
  static constexpr const char* kClientName = "Notecast";
  static constexpr const char* kPortName = "out";
  static constexpr const char* kVirtualDeviceName = "Notecast virtual output";
  // How to choose an output, where the control tells that none is open.
  static constexpr const char* kOwnAdvice =
      "Choose one under \"Midi-Output-Driver:\" in the Notecast window.";

  explicit RtMidiOutputControl(
      MidiApiChoice choice = MidiApiChoice::fromEnvironment(),
      std::shared_ptr<MidiToldCauses> told = std::make_shared<MidiToldCauses>());
  // Closes the output and leaves the MIDI system in bounded time; never calls the notifier.
  ~RtMidiOutputControl() noexcept override;

  void setAction(std::int32_t action) override;
  void setDeviceNumber(std::int32_t device) override;
  void setDeviceName(const std::string& name) override { namedDevice_ = name; }
  std::string deviceName() override;
  void setStatusByte(std::int32_t value) override { status_ = value; }
  void setDataByte1(std::int32_t value) override { data1_ = value; }
  void setDataByte2(std::int32_t value) override { data2_ = value; }
  std::int16_t deviceCount() override;
  void setDeviceReport(DeviceReport report) override { report_ = std::move(report); }
  MidiOutputStatus status() override;
  void setChangeNotifier(std::function<void()> notifier) override;
  bool recover() override;
  void setKeptConnections(std::vector<std::string> ports) override;
  KeptConnections::States keptConnectionStates() override { return kept_.states(); }
  void setOutputAdvice(std::string sentence) override { advice_ = std::move(sentence); }
  bool lastSendTaken() const override { return lastSendTaken_; }
  void setClientName(std::string name) override;
  std::string ownPort() override;

 private:
  enum class Opened { kNothing, kVirtualPort, kSystemPort };
  // How the JACK server stands (kNone: not on JACK, or not connected).
  enum class JackServer { kNone, kRunning, kStalled, kGone };

  // RtMidiOutputControl.cpp: the actions.
  void open();
  void close();
  void send();
  // Makes `name` the chosen output and opens it if it is there.
  void choose(const std::string& name);
  // Nothing chosen any more; what was open is closed.
  void unchoose() noexcept;

  // RtMidiOutputSystem.cpp: the hold on the MIDI system.
  // Connects to the MIDI system unless connected; empty when connected, else why not.
  std::string connectSystem();
  // connectSystem, reporting an absent system once per absence.
  bool haveSystem();
  // Leaves the MIDI system: RtMidi's client first, then the watches.
  void dropSystem() noexcept;
  // Closes RtMidi's client, and waits until the JACK watch has seen it go.
  void dropClient() noexcept;
  // Looks at the server (a few of its periods at most, to see whether it runs its cycles).
  JackServer serverNow() const;
  // Gets the closes of the server's clients ready for how it stands.
  void prepareToLeave(JackServer server) noexcept;
  void forgetOpenDevice() noexcept;
  // The listed device that is the output `name`, if any; its listed name in *listed.
  std::optional<unsigned int> findPort(const std::string& name, std::string* listed);

  // RtMidiOutputRecovery.cpp: losses and returns.
  // Closes what went away since the last look, and tells so. `thorough`: also looks through
  // the port list (ALSA has no cheaper check; JACK asks its watch on every call).
  void noticeLosses(bool thorough);
  // Opens the chosen output if it is there, telling the outcome once per cause. `retry`: not
  // the user's open but a look after a change; it waits a moment after a failed attempt, whose
  // own comings and goings of clients would otherwise set off the next attempt, and so on.
  void openChosen(bool retry = false);
  // JACK: whether the destination `port` is connected to our port yet.
  bool connectionMade(const std::string& port);
  // Remembers that the chosen output's absence was told, and tells it unless it was.
  void tellMissing(MidiReportCode code, const std::string& text);
  // Tells the start or the end of a stall of the JACK server, once each (RtMidiOutputControl.cpp).
  void tellStall();

  // RtMidiOutputConnections.cpp: the kept connections.
  // Connects our port to the destinations that appeared since the last look.
  void keepConnections();
  // Our port's full name on JACK ("Notecast:out", or as JACK renamed the client).
  std::string ownJackPort() const;

  void report(MidiReportCode code, std::string text);
  void deliverWaitingReports();
  void deliver(MidiReportCode code, std::string text);

  MidiApiChoice choice_;
  std::shared_ptr<MidiToldCauses> told_;
  std::shared_ptr<MidiChangeSignal> changes_;
  std::unique_ptr<JackServerWatch> watch_;         // JACK only; outlives the client
  std::unique_ptr<AlsaSequencerWatch> alsaWatch_;  // ALSA only
  std::unique_ptr<RtMidiClient> client_;
  std::string clientName_ = kClientName;  // the name asked for
  std::string ownClient_;  // client_'s name as the MIDI system gave it ("Notecast", "Notecast-01")
  JackSendPacing pacing_;  // JACK only: counts on the watch's view of the cycles
  KeptConnections kept_;
  std::unique_ptr<KeptConnections::Graph> alsaPorts_;  // ALSA, while connections are kept

  std::int32_t device_ = kVirtualDevice;
  std::optional<std::string> namedDevice_;  // DeviceName written after DeviceNumber
  std::int32_t status_ = 0;
  std::int32_t data1_ = 0;
  std::int32_t data2_ = 0;

  std::string chosen_;  // the chosen output's name; empty when none
  Opened opened_ = Opened::kNothing;
  std::chrono::steady_clock::time_point retryAfter_{};  // after a failed attempt to open

  // Once per open device: set when told, cleared when another device opens.
  bool toldUnsendable_ = false;
  bool toldSendFailed_ = false;
  bool lastSendTaken_ = true;
  bool toldStall_ = false;           // the JACK server's stall, told until it ends
  std::int64_t notSentInStall_ = 0;  // messages refused since the stall began

  std::string advice_;  // the host's, instead of kOwnAdvice; empty: none

  DeviceReport report_;
  std::vector<std::pair<MidiReportCode, std::string>> waitingReports_;
};

}  // namespace notecast
