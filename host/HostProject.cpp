#include "host/HostProject.h"

#include "platform/TextCompare.h"

#include "platform/Boundary.h"
#include "platform/Variant.h"
#include "plugin/LumoTypeLib/LumoTypeLib.h"

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
