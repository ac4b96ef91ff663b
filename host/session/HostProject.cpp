#include "host/session/HostProject.h"

#include "abi/TextCompare.h"

#include "abi/Boundary.h"
#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "abi/Variant.h"

namespace notecast::host {

HostProject::HostProject(std::string baseFilename) : baseFilename_(std::move(baseFilename)) {}

void HostProject::setBaseFilename(std::string baseFilename) {
  baseFilename_ = std::move(baseFilename);
}

HRESULT HostProject::GetProperty(const std::string& name, Variant* value) noexcept {
  if (!value) return E_POINTER;
  if (!equalsIgnoringCase(name, lumo::kProjectBaseFilename)) return E_INVALIDARG;
  return callGuarded([&] { *value = Variant::fromString(baseFilename_); });
}

}  // namespace notecast::host
