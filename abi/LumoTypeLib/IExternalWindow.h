#pragma once
// A plug-in window that the host loads, shows, hides and unloads as one of its tool windows,
// reached by QueryInterface on the Window of the module information record.
//
// Contract: every call on the host's user-interface thread. loadWindow creates the window's
// controls and unloadWindow destroys them; loads are not counted, so one unload undoes any number
// of them, and other calls may load the window when they need it. A reference keeps the plug-in
// library loaded, not the window. loadWindow, unloadWindow, hideWindow and showWindow answer
// *result = False whatever they did: success is the HRESULT. The host defines this interface and
// never changes it; a new capability is a new interface.

#include <cstdint>

#include "abi/HResult.h"
#include "abi/Unknown.h"

namespace lumo {

using notecast::HRESULT;
using notecast::Iid;
using notecast::IUnknown;
using notecast::VARIANT_BOOL;

class IExternalWindow : public IUnknown {
 public:
  static constexpr Iid iid{
      0x63c29c81, 0xb775, 0x472c, {0xa1, 0x15, 0x54, 0xe6, 0x26, 0xf7, 0xd8, 0x80}};

  // True while loaded, shown or hidden. E_POINTER for a null result.
  virtual HRESULT get_isOpen(VARIANT_BOOL* result) noexcept = 0;
  virtual HRESULT loadWindow(VARIANT_BOOL* result) noexcept = 0;
  virtual HRESULT unloadWindow(VARIANT_BOOL* result) noexcept = 0;
  virtual HRESULT hideWindow(VARIANT_BOOL* result) noexcept = 0;
  // Shows a loaded window; one that is not loaded stays so (loadWindow first).
  virtual HRESULT showWindow(VARIANT_BOOL* result) noexcept = 0;
  // 0 normal, 1 minimized, 2 maximized; never loads the window (not loaded is normal).
  // E_POINTER for a null state.
  virtual HRESULT get_WindowState(std::int32_t* state) noexcept = 0;
  // A wish of the host: the window MAY keep its own state.
  virtual HRESULT put_WindowState(std::int32_t RHS) noexcept = 0;

 protected:
  ~IExternalWindow() = default;
};

}  // namespace lumo
