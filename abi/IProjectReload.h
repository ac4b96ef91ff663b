#pragma once
// The project's event file loaded again while a show runs, without ever silencing it: the
// plug-in reads and checks the whole new file first, and only a file it can use replaces the
// running events. A host offers this on the operator's request (SIGHUP) instead of
// ClearProjectData and LoadProjectData, which empty the table before they read the file. An
// optional interface of the plug-in object: a host asks for it with QueryInterface; a plug-in
// without it answers E_NOINTERFACE, and the host then reloads the old way.
//
// Contract: the host's user-interface thread, after Init. S_OK in both outcomes: *problem "" and
// *events the number of events that can fire (an entry on a DMX channel with a known type) when
// the file replaced the running events; else *problem says in one line why nothing changed (the
// events, the MIDI output and its connections stay). The output is closed and opened again only
// when the new file names another. A failure result when the plug-in could not ask for its
// project. E_POINTER for a null out-parameter.

#include <cstdint>
#include <string>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace notecast {

class IProjectReload : public IUnknown {
 public:
  static constexpr Iid iid{
      0xaa52f275, 0x35e6, 0x4331, {0xaa, 0x8e, 0x44, 0x3f, 0x99, 0x82, 0x95, 0x0c}};

  virtual HRESULT ReloadProject(std::string* problem, std::int32_t* events) noexcept = 0;

 protected:
  ~IProjectReload() = default;
};

}  // namespace notecast
