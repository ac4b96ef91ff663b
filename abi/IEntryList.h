#pragma once
// The entry list as the plug-in's configuration window shows it, one line per event, for a host
// that shows the events somewhere else (a web page of the bridge) while the window is not there.
// An optional interface of the plug-in object: a host asks for it with QueryInterface; a plug-in
// without it answers E_NOINTERFACE, and the host shows no events.
//
// Contract: every call on the host's user-interface thread, at any time after the object exists.
// Reading MUST NOT load the plug-in's window, open or close the output, or show a box. E_POINTER
// for a null out-parameter.

#include <cstdint>
#include <string>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace notecast {

class IEntryList : public IUnknown {
 public:
  static constexpr Iid iid{
      0x1d30ef34, 0x8aaa, 0x46f0, {0xa3, 0x8d, 0x14, 0xf5, 0xc6, 0x02, 0xd0, 0x1e}};

  // A number that changes whenever the list is shown anew (a load, a reload, a clear, an edit),
  // so a host reads the lines only when it changed.
  virtual HRESULT get_EntryListRevision(std::int64_t* revision) noexcept = 0;
  // The lines of the entries `first` to `first + count - 1` that exist, one a line, each as the
  // window's list shows it ("Chan: 12, Typ: 3, MSG: B0, ..."); "" for none. E_INVALIDARG for a
  // negative `first` or `count`.
  virtual HRESULT get_EntryLines(std::int32_t first, std::int32_t count,
                                 std::string* lines) noexcept = 0;

 protected:
  ~IEntryList() = default;
};

}  // namespace notecast
