#pragma once
// The base of every interface across the plug-in boundary: reference counting and interface
// lookup, in the slot order of COM's IUnknown.
//
// Contract:
//  - An object MUST start with one reference, owned by whoever created it.
//  - QueryInterface MUST hand out an added reference on success and set *object to null on
//    failure (E_NOINTERFACE for an unknown id, E_POINTER for a null object). Asking any
//    interface of one object for IUnknown MUST give the same pointer (object identity).
//  - Every reference MUST be given back with exactly one Release; the object stays valid while
//    any is held. The counts AddRef and Release return are for diagnostics only.
//  - For every interface: an interface pointer returned through an out-parameter is an added
//    reference the caller owns and MUST Release, and is null on failure; a pointer passed in is
//    borrowed for the call (ownership isn't transferred), and a callee that keeps it AddRefs it.
//  - Calls MUST come from the thread that created the object (single-threaded apartment).
//  - Nothing may throw out of these methods, nor out of any interface method (all are noexcept).
//  - A shipped interface never changes: its iid, slot order and signatures stay; a new capability
//    is a new interface with a new iid.
//  - Interfaces pass std::string and Variant by reference, so both sides MUST be built with the
//    same compiler and C++ standard library.

#include <cstdint>

#include "abi/Guid.h"
#include "abi/HResult.h"

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
