// The plug-in object's word on a project's event file, for a host to ask before the plug-in
// loads it (answered from the file alone, with no state of the plug-in's), and the reload that
// replaces the running events only with a file that can be used.

#include <string>

#include "abi/Boundary.h"
#include "persistence/EventFileCheck.h"
#include "persistence/EventFileName.h"
#include "plugin/PluginGlobals.h"
#include "plugin/clsLumoPlugIn.h"

namespace notecast {
namespace {

template <class Answer>
HRESULT answerForBase(const char* projectBase, std::string* out, Answer&& answer) noexcept {
  if (!out) return E_POINTER;
  out->clear();
  if (!projectBase) return E_INVALIDARG;
  return callGuarded([&] { *out = answer(std::string(projectBase)); });
}

}  // namespace

HRESULT clsLumoPlugIn::get_EventFilePath(const char* projectBase, std::string* path) noexcept {
  return answerForBase(projectBase, path, [](const std::string& base) {
    return base.empty() ? std::string() : eventFilePath(base);
  });
}

HRESULT clsLumoPlugIn::CheckEventFile(const char* projectBase, std::string* problem) noexcept {
  return answerForBase(projectBase, problem,
                       [](const std::string& base) { return checkEventFile(base); });
}

}  // namespace notecast

namespace notecast {

HRESULT clsLumoPlugIn::ReloadProject(std::string* problem, std::int32_t* events) noexcept {
  if (!problem || !events) return E_POINTER;
  problem->clear();
  *events = 0;
  return callGuarded([&] { *problem = PluginGlobals::core().reloadEventFile(events); });
}

}  // namespace notecast
