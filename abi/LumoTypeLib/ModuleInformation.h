#pragma once
// The host class behind LumoCreateModuleInformation: plain storage of the fifteen properties,
// with no checks of its own. A new record has empty texts, zero settings, no window and no command
// server, and an empty message-code collection of its own. It is not exported: host and plug-in
// reach it only through LumoCreateModuleInformation and IModuleInformation, so its code is always
// that of libLumoTypeLib.so and stays loaded when the plug-in library goes.

#include "abi/ComObject.h"
#include "abi/LumoTypeLib/ICommandServer.h"
#include "abi/LumoTypeLib/IModuleInformation.h"

namespace lumo {

class ModuleInformation final : public notecast::ComObject<ModuleInformation, IModuleInformation> {
 public:
  ModuleInformation();

  HRESULT get_ModuleId(std::string* value) noexcept override;
  HRESULT put_ModuleId(const std::string& value) noexcept override;
  HRESULT get_ModuleName(std::string* value) noexcept override;
  HRESULT put_ModuleName(const std::string& value) noexcept override;
  HRESULT get_Description(std::string* value) noexcept override;
  HRESULT put_Description(const std::string& value) noexcept override;
  HRESULT get_Author(std::string* value) noexcept override;
  HRESULT put_Author(const std::string& value) noexcept override;
  HRESULT get_Setting5(std::int32_t* value) noexcept override;
  HRESULT put_Setting5(std::int32_t value) noexcept override;
  HRESULT get_Setting6(std::int32_t* value) noexcept override;
  HRESULT put_Setting6(std::int32_t value) noexcept override;
  HRESULT get_Setting7(std::int32_t* value) noexcept override;
  HRESULT put_Setting7(std::int32_t value) noexcept override;
  HRESULT get_WindowClassName(std::string* value) noexcept override;
  HRESULT put_WindowClassName(const std::string& value) noexcept override;
  HRESULT get_Window(IUnknown** value) noexcept override;
  HRESULT putref_Window(IUnknown* value) noexcept override;
  HRESULT get_Setting10(std::int32_t* value) noexcept override;
  HRESULT put_Setting10(std::int32_t value) noexcept override;
  HRESULT get_CommandServer(ICommandServer** value) noexcept override;
  HRESULT putref_CommandServer(ICommandServer* value) noexcept override;
  HRESULT get_Setting12(std::int32_t* value) noexcept override;
  HRESULT put_Setting12(std::int32_t value) noexcept override;
  HRESULT get_Setting13(std::int32_t* value) noexcept override;
  HRESULT put_Setting13(std::int32_t value) noexcept override;
  HRESULT get_Setting14(std::int32_t* value) noexcept override;
  HRESULT put_Setting14(std::int32_t value) noexcept override;
  HRESULT get_MessageCodes(IIntegerCollection** value) noexcept override;

 private:
  std::string moduleId_, moduleName_, description_, author_, windowClassName_;
  std::int32_t setting5_ = 0, setting6_ = 0, setting7_ = 0, setting10_ = 0;
  std::int32_t setting12_ = 0, setting13_ = 0, setting14_ = 0;
  notecast::ComPtr<IUnknown> window_;
  notecast::ComPtr<ICommandServer> commandServer_;
  notecast::ComPtr<IIntegerCollection> messageCodes_;
};

}  // namespace lumo
