#pragma once
// The class factory of clsLumoPlugIn, handed out by DllGetClassObject.

#include "abi/ComObject.h"
#include "abi/IClassFactory.h"

namespace notecast {

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, const Iid& iid, void** object) noexcept override;
  HRESULT LockServer(bool lock) noexcept override;
};

}  // namespace notecast
