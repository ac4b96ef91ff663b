// The plug-in object's word on a project's event file, for a host to ask before the plug-in
// loads it: answered from the file alone, with no state of the plug-in's.

#include <string>

#include "abi/Boundary.h"
#include "persistence/EventFileCheck.h"
#include "persistence/EventFileName.h"
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
  return answerForBase(projectBase, problem, checkEventFile);
}

}  // namespace notecast
