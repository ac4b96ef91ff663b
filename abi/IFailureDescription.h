#pragma once
// What a failure result of the plug-in meant: the run-time error's own description ("no MIDI
// output device is open"), which the result's number alone cannot carry. An optional interface
// of the plug-in object: a host asks for it with QueryInterface; a plug-in without it answers
// E_NOINTERFACE, and a host that does not know it loses nothing.
//
// Contract: any thread, at any time after the object exists. Reading changes nothing. E_POINTER
// for a null out-parameter.

#include <string>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace notecast {

class IFailureDescription : public IUnknown {
 public:
  static constexpr Iid iid{
      0x11dc505f, 0xe7d3, 0x4890, {0x85, 0x0f, 0x68, 0xba, 0xa3, 0xfc, 0x81, 0xf5}};

  // The description of the last failure that a call of the plug-in returned on the calling
  // thread, when that failure was `result`; "" (and S_FALSE) when the last failure on this
  // thread was another or there was none.
  virtual HRESULT get_FailureDescription(HRESULT result, std::string* description) noexcept = 0;

 protected:
  ~IFailureDescription() = default;
};

}  // namespace notecast
