#pragma once
// The host's plug-in interface. The host creates the plug-in object, calls Init once with its
// helper object, then drives it; every call arrives on the host's user-interface thread.
//
// Contract:
//  - Init MUST come first (the plug-in finds the host's project through the helper) and Term
//    last; after Term the host releases every reference it holds (plug-in object, module
//    information, window, command server), and only then may the library unload.
//  - One call at a time: the host MUST NOT call the plug-in from inside a call (a message box of
//    the plug-in runs a nested event loop).
//  - The Boolean answers are True on success, except Disable's, which is False even then: success
//    is the HRESULT. A run-time error n fails the call with 0x800A0000 | n.
//  - The host defines this interface and never changes it; a new capability is a new interface.

#include <cstdint>
#include <string>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace lumo {

using notecast::HRESULT;
using notecast::Iid;
using notecast::IUnknown;
using notecast::VARIANT_BOOL;

// The DMX channel change message: Arg1 is the channel, Arg2 its new value.
constexpr std::int32_t kMessageChannelValue = 15;

class ILumoPlugin : public IUnknown {
 public:
  static constexpr Iid iid{
      0xbc345101, 0x3b86, 0x4dbc, {0xa7, 0x0f, 0x2f, 0x9e, 0xa5, 0x2d, 0x67, 0x5c}};

  virtual HRESULT Disable(VARIANT_BOOL* result) noexcept = 0;
  virtual HRESULT Enable(VARIANT_BOOL* result) noexcept = 0;
  virtual HRESULT Configure(VARIANT_BOOL* result) noexcept = 0;
  // The plug-in keeps `LumoPluginHelper` (a counted reference; may be null) until the next Init
  // or its own tear-down. The two texts are not read.
  virtual HRESULT Init(const std::string& CallingAppTitle, const std::string& MyFilename,
                       IUnknown* LumoPluginHelper, VARIANT_BOOL* result) noexcept = 0;
  // The three numbers are passed by reference, as the host declares them; the plug-in does not
  // change them (E_POINTER when one is null). Only kMessageChannelValue is handled, others
  // succeed untouched; *result is 0.
  virtual HRESULT MessageHandle(std::int32_t* Msg, std::int32_t* Arg1, std::int32_t* Arg2,
                                std::int32_t* result) noexcept = 0;
  virtual HRESULT get_PluginName(std::string* name) noexcept = 0;
  virtual HRESULT Term(VARIANT_BOOL* result) noexcept = 0;

 protected:
  ~ILumoPlugin() = default;
};

}  // namespace lumo
