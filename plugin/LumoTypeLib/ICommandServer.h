#pragma once
// A plug-in's part in the host's command system: the user picks a first option, then a second,
// then the host executes the command with the values of the two picked entries.

#include <string>

#include "plugin/LumoTypeLib/IOptionList.h"

namespace lumo {

class ICommandServer : public IUnknown {
 public:
  static constexpr Iid iid{
      0x19e7d7e5, 0x5c02, 0x461b, {0xac, 0xa0, 0x97, 0xad, 0x27, 0x94, 0xe7, 0x94}};

  virtual HRESULT get_Name(std::string* name) noexcept = 0;
  // A new list on every call (an added reference for the caller).
  virtual HRESULT GetFirstOptions(IOptionList** options) noexcept = 0;
  virtual HRESULT GetSecondOptions(std::string* FirstSelection, IOptionList** options) noexcept = 0;
  virtual HRESULT ExecuteCommand(std::string* FirstSelection, std::string* SecondSelection,
                                 Variant* NewValue, Variant* Stream, Variant* AdditionalData,
                                 Variant* result) noexcept = 0;

 protected:
  ~ICommandServer() = default;
};

}  // namespace lumo
