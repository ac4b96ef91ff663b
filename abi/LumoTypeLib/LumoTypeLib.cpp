#include "abi/LumoTypeLib/LumoTypeLib.h"

#include "abi/Boundary.h"
#include "abi/IDispatchByName.h"
#include "abi/LumoTypeLib/ModuleInformation.h"
#include "abi/LumoTypeLib/OptionList.h"

using notecast::HRESULT;

extern "C" HRESULT LumoCreateModuleInformation(lumo::IModuleInformation** info) noexcept {
  if (!info) return notecast::E_POINTER;
  *info = nullptr;
  return notecast::callGuarded(
      [&] { *info = notecast::makeComObject<lumo::ModuleInformation>().detach(); });
}

extern "C" HRESULT LumoCreateOptionList(lumo::IOptionList** list) noexcept {
  if (!list) return notecast::E_POINTER;
  *list = nullptr;
  return notecast::callGuarded(
      [&] { *list = notecast::makeComObject<lumo::OptionList>().detach(); });
}

namespace lumo {

std::string readProjectBaseFilename(IUnknown* helper) {
  const notecast::Variant project = notecast::getPropertyByName(helper, kHelperProject);
  const notecast::Variant baseFilename =
      notecast::getPropertyByName(project.asObject().get(), kProjectBaseFilename);
  return baseFilename.asString();
}

}  // namespace lumo
