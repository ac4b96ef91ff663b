#pragma once
// What the plug-in has sent: the MIDI output's name and state, how many messages went out and
// how many did not, and the last few that went out. An optional interface of the plug-in object,
// so that an operator can see at a glance whether MIDI flows: a host asks for it with
// QueryInterface and shows what it reads; a plug-in without it answers E_NOINTERFACE, and a host
// that does not know it loses nothing.
//
// Contract: every call on the host's user-interface thread, at any time after the object exists
// (before Init the output is kNone and the counts are 0). Reading MUST NOT load the plug-in's
// window, open or close the output, or show a box, so a host may poll it every second. E_POINTER
// for a null out-parameter. The counts only grow while the plug-in is loaded.

#include <cstdint>
#include <string>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace notecast {

enum class OutputState : std::int32_t {
  kNone = 0,     // no output chosen (or the window that owns it is not loaded)
  kOpen = 1,     // messages go out
  kMissing = 2,  // chosen, but not there now (its port, its client or the MIDI system went away)
  kStalled = 3,  // open, but the MIDI system takes no messages now (a JACK server that runs no
                 // cycles); a host that knows only the states above may show it as closed
};

class IOutputStatus : public IUnknown {
 public:
  static constexpr Iid iid{
      0xee6eb07f, 0xf1f2, 0x455a, {0xac, 0x26, 0xfe, 0xa2, 0x98, 0xcb, 0x35, 0x4f}};

  // The chosen output's name as the operator picked it ("synth:input", "Notecast virtual
  // output"); "" when none is chosen. Also while it is missing.
  virtual HRESULT get_OutputName(std::string* name) noexcept = 0;
  // One of OutputState.
  virtual HRESULT get_OutputState(std::int32_t* state) noexcept = 0;
  // Messages that went out, and messages the plug-in wanted to send that did not (no output, an
  // output that refused, a status byte that starts no MIDI message).
  virtual HRESULT get_MessagesSent(std::int64_t* count) noexcept = 0;
  virtual HRESULT get_MessagesNotSent(std::int64_t* count) noexcept = 0;
  // The last messages that went out, oldest first, one per line as hexadecimal bytes
  // ("90 40 7F"); "" before the first.
  virtual HRESULT get_RecentMessages(std::string* lines) noexcept = 0;

 protected:
  ~IOutputStatus() = default;
};

}  // namespace notecast
