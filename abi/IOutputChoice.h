#pragma once
// The host's say in the MIDI output for one run: which output to use instead of the one the event
// file keeps, and which ports to keep connected to the plug-in's own output port. An optional
// interface of the plug-in object, for a host started with such choices on its command line: a
// host asks for it with QueryInterface; a plug-in without it answers E_NOINTERFACE, and a host
// that does not know it loses nothing.
//
// Contract: every call on the host's user-interface thread, after Init; calls made before
// LoadProjectData take effect when the plug-in loads the project. Nothing of it is ever written
// into the event file, and it never makes the event file count as changed. Calls MUST NOT show a
// box. E_POINTER for a null pointer where one is required.

#include <cstdint>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace notecast {

class IOutputChoice : public IUnknown {
 public:
  static constexpr Iid iid{
      0xa8452642, 0x49c5, 0x4afe, {0xa9, 0x70, 0x44, 0x4c, 0x14, 0xd7, 0x20, 0x73}};

  // The output for this run, by the name the plug-in's output list shows ("synth:in",
  // "Notecast virtual output"; "" for none), chosen instead of the event file's device each time
  // the plug-in loads the event file, until the user picks another output in the plug-in's
  // window. Null: the event file's device again, from the next load on. The plug-in copies the
  // text; the caller keeps ownership.
  virtual HRESULT put_RunOutput(const char* name) noexcept = 0;
  // Ports to keep connected from the plug-in's own output port ("Notecast:out" on JACK), as the
  // MIDI system names them ("client:port"), replacing any earlier list; `count` 0 for none
  // (`ports` may then be null). Each is connected whenever both ports exist and again after
  // either comes back (its program or the MIDI system restarted); a connection removed by hand
  // is made again only then. E_INVALIDARG for a negative count or a null port name.
  virtual HRESULT put_KeptConnections(const char* const* ports, std::int32_t count) noexcept = 0;

 protected:
  ~IOutputChoice() = default;
};

}  // namespace notecast
