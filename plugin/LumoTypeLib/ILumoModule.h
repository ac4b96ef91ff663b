#pragma once

#include "plugin/LumoTypeLib/IModuleInformation.h"

namespace lumo {

class ILumoModule : public IUnknown {
 public:
  static constexpr Iid iid{
      0xd53a40e8, 0x6e8d, 0x4405, {0x9a, 0xca, 0x05, 0xa8, 0xd9, 0xe7, 0x91, 0x7a}};

  // A new module information record on every call (an added reference for the caller).
  virtual HRESULT get_ModuleInfo(IModuleInformation** info) noexcept = 0;

 protected:
  ~ILumoModule() = default;
};

}  // namespace lumo
