#pragma once
// A plug-in window that the host loads, shows, hides and unloads as one of its tool windows.

#include <cstdint>

#include "platform/HResult.h"
#include "platform/Unknown.h"

namespace lumo {

using notecast::HRESULT;
using notecast::Iid;
using notecast::IUnknown;
using notecast::VARIANT_BOOL;

class IExternalWindow : public IUnknown {
 public:
  static constexpr Iid iid{
      0x63c29c81, 0xb775, 0x472c, {0xa1, 0x15, 0x54, 0xe6, 0x26, 0xf7, 0xd8, 0x80}};

  virtual HRESULT get_isOpen(VARIANT_BOOL* result) noexcept = 0;
  virtual HRESULT loadWindow(VARIANT_BOOL* result) noexcept = 0;
  virtual HRESULT unloadWindow(VARIANT_BOOL* result) noexcept = 0;
  virtual HRESULT hideWindow(VARIANT_BOOL* result) noexcept = 0;
  virtual HRESULT showWindow(VARIANT_BOOL* result) noexcept = 0;
  virtual HRESULT get_WindowState(std::int32_t* state) noexcept = 0;
  virtual HRESULT put_WindowState(std::int32_t RHS) noexcept = 0;

 protected:
  ~IExternalWindow() = default;
};

}  // namespace lumo
