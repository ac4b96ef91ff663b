// The plug-in object's output choice for the run and its client's name: handed to the core,
// which keeps them across its unloads and applies them whenever it loads.

#include <string>
#include <vector>

#include "abi/Boundary.h"
#include "plugin/PluginGlobals.h"
#include "plugin/clsLumoPlugIn.h"

namespace notecast {

HRESULT clsLumoPlugIn::put_RunOutput(const char* name) noexcept {
  return callGuarded([&] {
    PluginGlobals::core().setOutputForRun(name ? std::optional<std::string>(name) : std::nullopt);
  });
}

HRESULT clsLumoPlugIn::put_KeptConnections(const char* const* ports, std::int32_t count) noexcept {
  if (count < 0) return E_INVALIDARG;
  if (count > 0 && !ports) return E_POINTER;
  for (std::int32_t i = 0; i < count; ++i) {
    if (!ports[i]) return E_INVALIDARG;
  }
  return callGuarded([&] {
    PluginGlobals::core().setKeptConnections(std::vector<std::string>(ports, ports + count));
  });
}

HRESULT clsLumoPlugIn::put_ClientName(const char* name) noexcept {
  if (!name) return E_POINTER;
  if (!clientNameProblem(name).empty()) return E_INVALIDARG;
  return callGuarded([&] { PluginGlobals::core().setClientName(name); });
}

HRESULT clsLumoPlugIn::get_OwnPort(std::string* port) noexcept {
  if (!port) return E_POINTER;
  return callGuarded([&] { *port = PluginGlobals::core().ownPort(); });
}

}  // namespace notecast
