#pragma once
// The class factory of clsLumoPlugIn, handed out by DllGetClassObject.

#include "platform/ComObject.h"
#include "platform/IClassFactory.h"

namespace notecast {

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, const Iid& iid, void** object) noexcept override;
  HRESULT LockServer(bool lock) noexcept override;
};

}  // namespace notecast
