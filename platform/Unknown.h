#pragma once
// The base of every interface across the plug-in boundary: reference counting and interface
// lookup, in the slot order of COM's IUnknown.
//
// Contract:
//  - An object MUST start with one reference, owned by whoever created it.
//  - QueryInterface MUST hand out an added reference on success and set *object to null on
//    failure (E_NOINTERFACE for an unknown id). Asking any interface of one object for IUnknown
//    MUST give the same pointer (object identity).
//  - Calls MUST come from the thread that created the object (single-threaded apartment).
//  - Nothing may throw out of these methods.

#include <cstdint>

#include "platform/Guid.h"
#include "platform/HResult.h"

namespace notecast {

class IUnknown {
 public:
  static constexpr Iid iid{
      0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

  virtual HRESULT QueryInterface(const Iid& iid, void** object) noexcept = 0;
  virtual std::uint32_t AddRef() noexcept = 0;
  virtual std::uint32_t Release() noexcept = 0;

 protected:
  ~IUnknown() = default;  // objects are destroyed by Release, never by delete through this
};

}  // namespace notecast
