// The plug-in object's output choice for the run: handed to the core, which keeps it across
// its unloads and applies it whenever it loads the event file.

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

}  // namespace notecast
