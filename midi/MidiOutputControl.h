#pragma once
// The MIDI output control: the one object through which all MIDI output goes. The window drives
// it by writing and reading properties, exactly like the control it stands in for:
//
//   DeviceCount                  number of output devices (system ports)
//   DeviceNumber = d             selects device d for DeviceName and for Action = kOpen;
//                                -2 is "no device chosen" (opening it opens nothing, silently),
//                                -1 is the plug-in's own virtual output port, 0..n-1 the
//                                system's MIDI output ports in the order the MIDI system lists them
//   DeviceName                   name of the selected device (a system port's name exactly as the
//                                MIDI system gives it, e.g. "client:port" for JACK)
//   DeviceName = s               selects the output named s for Action = kOpen, also when it is
//                                not there now: it is then chosen and opens as soon as it appears
//                                (the last of DeviceNumber and DeviceName written counts)
//   StatusByte/DataByte1/2 = v   the next short message
//   Action = kOpen|kClose|kSend  open the selected device, close the open one, send the message
//
// Failures: a write that cannot be carried out throws a RuntimeError with one of the control's
// error numbers (MidiError). Problems the user should know of (no MIDI system, a device that
// fails to open or goes away) are also told through the device report, once per cause.
//
// Recovery: an output the user chose stays chosen (by name) when it goes away, its port, its
// program or the whole MIDI system. The control tells the loss once and opens the output again
// when it exists again, which it tells once too. It learns of changes from the MIDI system's own
// notifications where it has them; those arrive on the MIDI system's threads and only raise the
// change notifier, which the owner turns into a call of recover() on the user-interface thread.
//
// Owned by the loaded window; user-interface thread only, except where a method says otherwise.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "midi/KeptConnections.h"

namespace notecast {

enum class MidiAction : std::int32_t { kOpen = 1, kClose = 2, kSend = 7 };

// Report codes of the device report. kOk and kClosed are never shown to the user.
enum class MidiReportCode : std::int16_t {
  kOk = 0,
  kNoMidiSystem = 1,
  kOpenFailed = 2,
  kDeviceGone = 3,
  kSendFailed = 4,
  kNotOpen = 5,
  kBadSetting = 6,  // NOTECAST_MIDI_API names no MIDI system; the default one is used
  kClosed = 8,
  kDeviceBack = 9,  // the chosen output that had gone away is open again
};

// Error numbers of the control's failures, raised as RuntimeError(number).
enum class MidiError : std::int32_t {
  kNotOpen = 30001,     // send while no device is open
  kSendFailed = 30002,  // the MIDI system refused the message
  kBadDevice = 30003,   // DeviceNumber outside -1..DeviceCount-1 on open or DeviceName
  kBadAction = 30004,   // an Action code the control does not know
};

// kNone: no output chosen. kOpen: the chosen output is open. kMissing: chosen but not there now
// (its port, its program or the MIDI system went away, or it never appeared); it opens by itself
// when it is back. kStalled: open, but the MIDI system takes no messages now (a JACK server that
// runs no cycles); they go out again as soon as it does.
enum class MidiOutputState { kNone, kOpen, kMissing, kStalled };

struct MidiOutputStatus {
  MidiOutputState state = MidiOutputState::kNone;
  std::string name;  // the chosen output's name, also while it is missing; empty for kNone
};

class MidiOutputControl {
 public:
  // code and text by reference, as the control hands them over.
  using DeviceReport = std::function<void(std::int16_t& code, std::string& text)>;

  virtual ~MidiOutputControl() = default;

  virtual void setAction(std::int32_t action) = 0;
  virtual void setDeviceNumber(std::int32_t device) = 0;
  virtual void setDeviceName(const std::string& name) = 0;
  virtual std::string deviceName() = 0;
  virtual void setStatusByte(std::int32_t value) = 0;
  virtual void setDataByte1(std::int32_t value) = 0;
  virtual void setDataByte2(std::int32_t value) = 0;
  virtual std::int16_t deviceCount() = 0;

  // The window's handler of the device report; called on the user-interface thread.
  virtual void setDeviceReport(DeviceReport report) = 0;

  // Whether the last send that raised nothing put its message out. False when the MIDI system
  // could not take it at that moment (a JACK server that runs no cycles): the message is not
  // sent and not kept, the cause is told through the device report, and the show goes on
  // without a failure for every message. A control that raises every failure: always true.
  virtual bool lastSendTaken() const { return true; }

  // What is chosen and whether it is there; tells nothing, opens and closes nothing.
  virtual MidiOutputStatus status() = 0;
  // The wake-up the control calls, from any thread, when something may have changed: a port or
  // a program came or went, the MIDI system stopped, or the control found its output gone. It
  // MUST return at once and MUST NOT call the control; the owner answers it with recover() on
  // the user-interface thread. Never called once the control is destroyed.
  virtual void setChangeNotifier(std::function<void()> notifier) = 0;
  // Looks again at the MIDI system: tells what went away, connects to a MIDI system that has
  // appeared and opens the chosen output again when it is back. True while the owner should
  // call it again even without a notification (the chosen output or the MIDI system is
  // missing, or a kept connection could not be made yet); at most once a second is enough.
  virtual bool recover() = 0;
  // Ports ("client:port") to keep connected from the plug-in's own output port, whichever
  // output is open: each is connected whenever both exist, again when either comes back; a
  // connection removed by hand is made again only then. Empty: none. A control without
  // connections of its own ignores it.
  // By value: the controls that keep connections take the list over.
  // NOLINTNEXTLINE(performance-unnecessary-value-param)
  virtual void setKeptConnections(std::vector<std::string> /*ports*/) {}
  // The kept connections' states as the last look left them (KeptConnections::State), in the
  // order given; tells nothing and looks at nothing. A control without connections: none.
  virtual KeptConnections::States keptConnectionStates() { return {}; }
  // The sentence after "No MIDI output device is open." that tells how to choose an output,
  // instead of the control's own (the window's output list); empty: the control's own.
  // NOLINTNEXTLINE(performance-unnecessary-value-param)
  virtual void setOutputAdvice(std::string /*sentence*/) {}
  // The name of the plug-in's client in the MIDI system (the control's own by default), from
  // the next connection to the MIDI system on; a control connected already leaves the system
  // and connects again under the new name, reopening its output. A control without a client of
  // its own ignores it.
  // NOLINTNEXTLINE(performance-unnecessary-value-param)
  virtual void setClientName(std::string /*name*/) {}
  // The plug-in's own port as the MIDI system named it ("Notecast:out"; JACK renames a client
  // whose name is taken: "Notecast-01:out"); empty while not connected to a MIDI system, or for
  // a control without a port of its own.
  virtual std::string ownPort() { return {}; }
};

// Creates the control for the MIDI system chosen by NOTECAST_MIDI_API ("alsa" or "jack"; by
// default ALSA when its sequencer exists, JACK otherwise). Tests replace the factory.
using MidiOutputFactory = std::function<std::unique_ptr<MidiOutputControl>()>;
std::unique_ptr<MidiOutputControl> createMidiOutputControl();
// Replaces the factory used by createMidiOutputControl; an empty function restores the default.
void setMidiOutputFactory(MidiOutputFactory factory);

}  // namespace notecast
