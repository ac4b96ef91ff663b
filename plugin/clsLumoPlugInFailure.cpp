// The plug-in object's failure descriptions: what the boundary noted when it turned this
// thread's last run-time error into a result.

#include "abi/Boundary.h"
#include "plugin/clsLumoPlugIn.h"

namespace notecast {

HRESULT clsLumoPlugIn::get_FailureDescription(HRESULT result, std::string* description) noexcept {
  if (!description) return E_POINTER;
  try {
    description->clear();
    FailureRecord last = lastFailure();
    if (FAILED(result) && last.result == result && !last.description.empty()) {
      *description = std::move(last.description);
      return S_OK;
    }
    return S_FALSE;
  } catch (const std::bad_alloc&) {
    // Not through the boundary's conversion: reading changes nothing, not even the record.
    return E_OUTOFMEMORY;
  }
}

}  // namespace notecast
