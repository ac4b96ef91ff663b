#pragma once
// What an operator needs of the MIDI output beyond IOutputStatus: the outputs the plug-in could
// send to, the state of each port it keeps connected, every message as it goes out, and the
// host's own way of choosing an output for the plug-in's advice. An optional interface of the
// plug-in object: a host asks for it with QueryInterface; a plug-in without it answers
// E_NOINTERFACE, and a host that does not know it loses nothing.
//
// Contract: every call on the host's user-interface thread, after Init. Calls MUST NOT show a
// box or open or close the output, and never make the event file count as changed. E_POINTER
// for a null out-parameter.

#include <cstdint>
#include <string>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace notecast {

// Told of each MIDI message as it is handed to the MIDI system, on the thread that sent it (the
// host's user-interface thread): inside the plug-in call that sent it, or inside the event of the
// plug-in's own window that did (its test button). MUST return at once and MUST NOT call the
// plug-in.
class IMessageSink {
 public:
  // The message's bytes as they went on the wire (2 or 3 of them).
  virtual void MessageSent(const std::uint8_t* bytes, std::int32_t length) noexcept = 0;

 protected:
  ~IMessageSink() = default;
};

// A kept connection's state, as get_ConnectionStates names it.
inline constexpr const char* kConnectionWaiting = "waiting";      // never connected yet
inline constexpr const char* kConnectionConnected = "connected";  // connected now
inline constexpr const char* kConnectionGone = "gone";  // was connected, one end went away

class IOutputDetails : public IUnknown {
 public:
  static constexpr Iid iid{
      0xb7ee4b3a, 0x91db, 0x46ca, {0xba, 0x54, 0xa0, 0xfa, 0x55, 0x91, 0x41, 0x6e}};

  // The outputs the plug-in offers, one a line, named as its output list names them (the first
  // is its own port, "Notecast virtual output"). The MIDI system is asked now; the plug-in may
  // load its window (hidden) to ask it.
  virtual HRESULT get_OutputList(std::string* lines) noexcept = 0;
  // One line per port given to IOutputChoice::put_KeptConnections, in that order: the port's
  // name, a tab, and its state (kConnectionWaiting, kConnectionConnected or kConnectionGone).
  // "" for none.
  virtual HRESULT get_ConnectionStates(std::string* lines) noexcept = 0;
  // The sink told of every message sent from now on, replacing any earlier one; null for none.
  // The host keeps the sink alive until it hands over another or null, or releases the plug-in.
  virtual HRESULT put_MessageSink(IMessageSink* sink) noexcept = 0;
  // One sentence telling how this host chooses the plug-in's output ("Choose one with --midi-out
  // NAME; notecast-host --list-outputs lists them."), said instead of the plug-in's own advice
  // (its window's output list) where it tells that no output is open. Null: the plug-in's own.
  // The plug-in copies the text.
  virtual HRESULT put_OutputAdvice(const char* sentence) noexcept = 0;

 protected:
  ~IOutputDetails() = default;
};

}  // namespace notecast
