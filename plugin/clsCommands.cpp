#include "plugin/clsCommands.h"

#include "abi/Boundary.h"
#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "abi/TextCompare.h"
#include "engine/SharedOptions.h"
#include "os/NumberText.h"

namespace notecast {
namespace {

constexpr const char* kCommandServerName = "Notecast";
constexpr const char* kExecuteCaption = "Execute";
constexpr const char* kExecuteValue = "EXECUTE";

ComPtr<lumo::IOptionList> newOptionList() {
  ComPtr<lumo::IOptionList> list;
  throwIfFailed(LumoCreateOptionList(list.put()));
  return list;
}

void addOption(lumo::IOptionList& list, Variant caption, Variant value) {
  throwIfFailed(list.Add(&caption, &value));
}

}  // namespace

clsCommands::clsCommands(std::function<CommandTarget&()> target) : target_(std::move(target)) {}

HRESULT clsCommands::get_Name(std::string* name) noexcept {
  if (!name) return E_POINTER;
  return callGuarded([&] { *name = kCommandServerName; });
}

HRESULT clsCommands::GetFirstOptions(lumo::IOptionList** options) noexcept {
  if (!options) return E_POINTER;
  *options = nullptr;
  return callGuarded([&] {
    auto list = newOptionList();
    for (const SharedOption& option : sharedOptionsOf(target_().eventTable()))
      addOption(*list, Variant::fromString(option.name), Variant::fromInt32(option.row));
    *options = list.detach();
  });
}

HRESULT clsCommands::GetSecondOptions(std::string* /*FirstSelection*/,
                                      lumo::IOptionList** options) noexcept {
  if (!options) return E_POINTER;
  *options = nullptr;
  return callGuarded([&] {
    auto list = newOptionList();
    addOption(*list, Variant::fromString(kExecuteCaption), Variant::fromString(kExecuteValue));
    *options = list.detach();
  });
}

HRESULT clsCommands::ExecuteCommand(std::string* FirstSelection, std::string* SecondSelection,
                                    Variant* /*NewValue*/, Variant* /*Stream*/,
                                    Variant* /*AdditionalData*/, Variant* result) noexcept {
  if (result) *result = Variant();  // empty, whatever happens
  if (!FirstSelection || !SecondSelection) return E_POINTER;
  return callGuarded([&] {
    if (!equalsIgnoringCase(*SecondSelection, kExecuteValue)) return;
    target_().ExecuteMidiEventFromCommand(toInt32(*FirstSelection));
  });
}

}  // namespace notecast
