#pragma once
// A plug-in's part in the host's command system: the user picks a first option, then a second,
// then the host executes the command with the values of the two picked entries.
//
// Contract: every call on the host's user-interface thread. The selections are the picked
// entries' values as text, and are only read. E_POINTER for a null name or list; a failing
// command is 0x800A0000 | n. The host defines this interface and never changes it; a new
// capability is a new interface.

#include <string>

#include "abi/LumoTypeLib/IOptionList.h"

namespace lumo {

class ICommandServer : public IUnknown {
 public:
  static constexpr Iid iid{
      0x19e7d7e5, 0x5c02, 0x461b, {0xac, 0xa0, 0x97, 0xad, 0x27, 0x94, 0xe7, 0x94}};

  virtual HRESULT get_Name(std::string* name) noexcept = 0;
  // A new list on every call: the caller owns the reference and MUST Release it; null on failure.
  virtual HRESULT GetFirstOptions(IOptionList** options) noexcept = 0;
  virtual HRESULT GetSecondOptions(std::string* FirstSelection, IOptionList** options) noexcept = 0;
  // *result is set to Empty before anything else; E_POINTER for a null selection.
  virtual HRESULT ExecuteCommand(std::string* FirstSelection, std::string* SecondSelection,
                                 Variant* NewValue, Variant* Stream, Variant* AdditionalData,
                                 Variant* result) noexcept = 0;

 protected:
  ~ICommandServer() = default;
};

}  // namespace lumo
