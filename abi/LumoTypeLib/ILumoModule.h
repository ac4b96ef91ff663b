#pragma once
// The plug-in object's module interface, reached by QueryInterface on the plug-in object: the host
// asks it for the module information record that names the module's configuration window, its
// command server and the host messages it handles.
//
// Contract: every call on the host's user-interface thread. The record holds references into the
// plug-in library, which stays loaded until the host releases it. The host defines this interface
// and never changes it; a new capability is a new interface.

#include "abi/LumoTypeLib/IModuleInformation.h"

namespace lumo {

class ILumoModule : public IUnknown {
 public:
  static constexpr Iid iid{
      0xd53a40e8, 0x6e8d, 0x4405, {0x9a, 0xca, 0x05, 0xa8, 0xd9, 0xe7, 0x91, 0x7a}};

  // A new module information record on every call: the caller owns the reference and MUST
  // Release it. *info is null on failure; E_POINTER for a null info.
  virtual HRESULT get_ModuleInfo(IModuleInformation** info) noexcept = 0;

 protected:
  ~ILumoModule() = default;
};

}  // namespace lumo
