#include "engine/clsCommands.h"

#include "platform/TextCompare.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/Boundary.h"
#include "platform/NumberText.h"
#include "plugin/LumoTypeLib/LumoTypeLib.h"

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
    const EventTable& table = target_().eventTable();
    const std::int32_t highest = table.GetEventCount();
    // Names are not checked for duplicates: two records of one name give two entries.
    for (std::int32_t i = 0; i <= highest; ++i) {
      Variant name = table.GetShareName(i);
      if (!name.asString().empty()) addOption(*list, name, Variant::fromInt32(i));
    }
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
