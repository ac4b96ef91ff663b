#pragma once
// The host's option list: the entries a user picks from in the host's command system. The
// plug-in creates one with LumoCreateOptionList and fills it; the value of the picked entry comes
// back to the plug-in as a selection.
//
// Contract: every call on the host's user-interface thread. The list keeps no pointer of its
// caller's: Add copies both values in and GetEntry copies them out (an object inside is a
// reference of the copy's own). E_POINTER for a null argument. The host defines this interface and
// never changes it; a new capability is a new interface.

#include <cstdint>

#include "abi/Unknown.h"
#include "abi/Variant.h"

namespace lumo {

using notecast::HRESULT;
using notecast::Iid;
using notecast::IUnknown;
using notecast::Variant;

class IOptionList : public IUnknown {
 public:
  static constexpr Iid iid{
      0x670dd902, 0x48c5, 0x4fcf, {0x83, 0x10, 0xb9, 0x33, 0x46, 0x54, 0x71, 0x26}};

  // Appends one entry. Both arguments are by reference, as the host declares them; the list
  // copies them.
  virtual HRESULT Add(Variant* Caption, Variant* Value) noexcept = 0;
  virtual HRESULT get_Count(std::int32_t* count) noexcept = 0;
  // Entries count from 0; E_INVALIDARG outside 0..Count-1.
  virtual HRESULT GetEntry(std::int32_t index, Variant* caption, Variant* value) noexcept = 0;

 protected:
  ~IOptionList() = default;
};

}  // namespace lumo
