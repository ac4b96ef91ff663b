// The plug-in object's entry list: the window's lines of the core's table, read without loading
// it, and the core's count of the times the list was shown anew.

#include <algorithm>

#include "abi/Boundary.h"
#include "plugin/PluginGlobals.h"
#include "plugin/clsLumoPlugIn.h"
#include "window/EntryLine.h"

namespace notecast {

HRESULT clsLumoPlugIn::get_EntryListRevision(std::int64_t* revision) noexcept {
  if (!revision) return E_POINTER;
  *revision = PluginGlobals::core().entryListRevision();
  return S_OK;
}

HRESULT clsLumoPlugIn::get_EntryLines(std::int32_t first, std::int32_t count,
                                      std::string* lines) noexcept {
  if (!lines) return E_POINTER;
  lines->clear();
  if (first < 0 || count < 0) return E_INVALIDARG;
  return callGuarded([&] {
    const PluginCore& core = PluginGlobals::core();
    const std::int32_t entries = core.entryCount();
    const std::int32_t end = first + std::min(count, std::max(0, entries - first));
    std::string text;
    for (std::int32_t index = first; index < end; ++index) {
      std::string line = entryLine(core.eventTable().record(index));
      // One entry, one line, whatever its share name holds.
      std::replace(line.begin(), line.end(), '\n', ' ');
      text += line + '\n';
    }
    *lines = std::move(text);
  });
}

}  // namespace notecast
