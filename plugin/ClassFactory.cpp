#include "plugin/ClassFactory.h"

#include "abi/Boundary.h"
#include "abi/ModuleLock.h"
#include "plugin/clsLumoPlugIn.h"

namespace notecast {

HRESULT ClassFactory::CreateInstance(IUnknown* outer, const Iid& iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  ComPtr<clsLumoPlugIn> plugin;
  const HRESULT created = callGuarded([&] { plugin = makeComObject<clsLumoPlugIn>(); });
  if (FAILED(created)) return created;
  return plugin->QueryInterface(iid, object);
}

HRESULT ClassFactory::LockServer(bool lock) noexcept {
  ModuleLock::lockServer(lock);
  return S_OK;
}

}  // namespace notecast
