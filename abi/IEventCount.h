#pragma once
// How many events the plug-in holds now, so that a host that loads a project (at start, or again
// on the operator's request) can say what it loaded: every entry of its table, blank ones
// included (a one-entry file holds 1; not the highest index, which the event file stores as
// "Count"). An optional interface of the plug-in object:
// a host asks for it with QueryInterface; a plug-in without it answers E_NOINTERFACE, and a host
// that does not know it loses nothing.
//
// Contract: the host's user-interface thread, at any time after the object exists (0 before the
// first load). Reading MUST NOT load the plug-in's window or show a box. E_POINTER for a null
// out-parameter.

#include <cstdint>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace notecast {

class IEventCount : public IUnknown {
 public:
  static constexpr Iid iid{
      0x068cfe84, 0x5ccf, 0x4a75, {0xac, 0xc0, 0xb7, 0x4e, 0xe5, 0x05, 0x23, 0xbf}};

  virtual HRESULT get_EventCount(std::int32_t* count) noexcept = 0;

 protected:
  ~IEventCount() = default;
};

}  // namespace notecast
