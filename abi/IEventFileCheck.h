#pragma once
// The plug-in's word on a project's event file before it loads it: which file it keeps the
// project's settings in, and what, if anything, keeps that file from loading. The plug-in starts
// with no events from a file it cannot use; a host asks here so that an operator starting a show
// hears which file it was and why. An optional interface of the plug-in object: a host asks for it
// with QueryInterface; a plug-in without it answers E_NOINTERFACE, and a host that does not know
// it loses nothing.
//
// Contract: the calls keep no state and touch only the file named, so they may come from any
// thread at any time after the object exists, also before Init. They MUST NOT load the plug-in's
// window, open an output or show a box, and never wait on the file (a named pipe in its place
// answers at once). E_POINTER for a null out-parameter, E_INVALIDARG for a null project base;
// the out-parameter is then left empty where there is one.

#include <string>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace notecast {

class IEventFileCheck : public IUnknown {
 public:
  static constexpr Iid iid{
      0xd63150f5, 0xeaa3, 0x4d78, {0x9f, 0x6f, 0xf3, 0x1d, 0x4b, 0x0b, 0x25, 0xb7}};

  // The event file of the project whose base file name (the path without extension) is
  // `projectBase`, as the plug-in forms it on load: relative paths stay relative. "" for an
  // empty base (no project).
  virtual HRESULT get_EventFilePath(const char* projectBase, std::string* path) noexcept = 0;
  // One line naming the event file and what keeps it, or part of it, from loading ("no event
  // file show.Notecast yet: starting with no events"); "" when it looks loadable or the base is
  // empty. A look only: the plug-in's load decides what the file holds.
  virtual HRESULT CheckEventFile(const char* projectBase, std::string* problem) noexcept = 0;

 protected:
  ~IEventFileCheck() = default;
};

}  // namespace notecast
