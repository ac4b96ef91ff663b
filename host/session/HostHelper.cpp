#include "host/session/HostHelper.h"

#include "abi/TextCompare.h"

#include "abi/Boundary.h"
#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "abi/Variant.h"

namespace notecast::host {

HostHelper::HostHelper(std::string projectBase)
    : project_(makeComObject<HostProject>(std::move(projectBase))) {}

void HostHelper::setProjectBase(std::string projectBase) {
  project_->setBaseFilename(std::move(projectBase));
}

HRESULT HostHelper::GetProperty(const std::string& name, Variant* value) noexcept {
  if (!value) return E_POINTER;
  if (!equalsIgnoringCase(name, lumo::kHelperProject)) return E_INVALIDARG;
  return callGuarded(
      [&] { *value = Variant::fromObject(ComPtr<IUnknown>::share(project_.get())); });
}

}  // namespace notecast::host
