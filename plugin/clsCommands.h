#pragma once
// The command server: offers the shared events to the host's command system by name and fires
// the picked one. Keeps no state; every call reads the core's event table afresh.

#include <functional>

#include "abi/ComObject.h"
#include "abi/LumoTypeLib/ICommandServer.h"
#include "engine/CommandTarget.h"

namespace notecast {

class clsCommands final : public ComObject<clsCommands, lumo::ICommandServer> {
 public:
  // `target` finds the core at each call (it is created on first use).
  explicit clsCommands(std::function<CommandTarget&()> target);

  HRESULT get_Name(std::string* name) noexcept override;
  HRESULT GetFirstOptions(lumo::IOptionList** options) noexcept override;
  HRESULT GetSecondOptions(std::string* FirstSelection,
                           lumo::IOptionList** options) noexcept override;
  HRESULT ExecuteCommand(std::string* FirstSelection, std::string* SecondSelection,
                         Variant* NewValue, Variant* Stream, Variant* AdditionalData,
                         Variant* result) noexcept override;

 private:
  std::function<CommandTarget&()> target_;
};

}  // namespace notecast
