#pragma once
// A collection of 32-bit integers that one side creates and the other fills, item by item, in
// order (items have no key and no position of their own).
//
// Contract: every call on the host's user-interface thread. Whoever gets the collection through
// an out-parameter holds an added reference and MUST Release it. E_POINTER for a null
// out-parameter. The interface never changes; a new capability is a new interface.

#include <cstdint>

#include "abi/Unknown.h"

namespace notecast {

class IIntegerCollection : public IUnknown {
 public:
  static constexpr Iid iid{
      0x59924ce9, 0x52c4, 0x46b3, {0x90, 0x94, 0x86, 0x62, 0x18, 0xf1, 0x47, 0xb1}};

  // Appends one item at the end.
  virtual HRESULT Add(std::int32_t item) noexcept = 0;
  virtual HRESULT get_Count(std::int32_t* count) noexcept = 0;
  // Index counts from 1, as collections do; E_INVALIDARG outside 1..Count.
  virtual HRESULT get_Item(std::int32_t index, std::int32_t* item) noexcept = 0;

 protected:
  ~IIntegerCollection() = default;
};

}  // namespace notecast
