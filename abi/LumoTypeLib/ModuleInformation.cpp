#include "abi/LumoTypeLib/ModuleInformation.h"

#include "abi/Boundary.h"
#include "abi/IntegerCollection.h"

namespace lumo {
namespace {

// A text copy can run out of memory; the boundary turns that into E_OUTOFMEMORY.
template <class T>
HRESULT read(const T& field, T* value) noexcept {
  if (!value) return notecast::E_POINTER;
  return notecast::callGuarded([&] { *value = field; });
}

HRESULT write(std::string& field, const std::string& value) noexcept {
  return notecast::callGuarded([&] { field = value; });
}

template <class T>
HRESULT readObject(const notecast::ComPtr<T>& field, T** value) {
  if (!value) return notecast::E_POINTER;
  *value = notecast::ComPtr<T>(field).detach();
  return notecast::S_OK;
}

}  // namespace

ModuleInformation::ModuleInformation()
    : messageCodes_(notecast::makeComObject<notecast::IntegerCollection>()) {}

HRESULT ModuleInformation::get_ModuleId(std::string* value) noexcept {
  return read(moduleId_, value);
}
HRESULT ModuleInformation::put_ModuleId(const std::string& value) noexcept {
  return write(moduleId_, value);
}

HRESULT ModuleInformation::get_ModuleName(std::string* value) noexcept {
  return read(moduleName_, value);
}
HRESULT ModuleInformation::put_ModuleName(const std::string& value) noexcept {
  return write(moduleName_, value);
}

HRESULT ModuleInformation::get_Description(std::string* value) noexcept {
  return read(description_, value);
}
HRESULT ModuleInformation::put_Description(const std::string& value) noexcept {
  return write(description_, value);
}

HRESULT ModuleInformation::get_Author(std::string* value) noexcept {
  return read(author_, value);
}
HRESULT ModuleInformation::put_Author(const std::string& value) noexcept {
  return write(author_, value);
}

HRESULT ModuleInformation::get_Setting5(std::int32_t* value) noexcept {
  return read(setting5_, value);
}
HRESULT ModuleInformation::put_Setting5(std::int32_t value) noexcept {
  setting5_ = value;
  return notecast::S_OK;
}

HRESULT ModuleInformation::get_Setting6(std::int32_t* value) noexcept {
  return read(setting6_, value);
}
HRESULT ModuleInformation::put_Setting6(std::int32_t value) noexcept {
  setting6_ = value;
  return notecast::S_OK;
}

HRESULT ModuleInformation::get_Setting7(std::int32_t* value) noexcept {
  return read(setting7_, value);
}
HRESULT ModuleInformation::put_Setting7(std::int32_t value) noexcept {
  setting7_ = value;
  return notecast::S_OK;
}

HRESULT ModuleInformation::get_WindowClassName(std::string* value) noexcept {
  return read(windowClassName_, value);
}
HRESULT ModuleInformation::put_WindowClassName(const std::string& value) noexcept {
  return write(windowClassName_, value);
}

HRESULT ModuleInformation::get_Setting10(std::int32_t* value) noexcept {
  return read(setting10_, value);
}
HRESULT ModuleInformation::put_Setting10(std::int32_t value) noexcept {
  setting10_ = value;
  return notecast::S_OK;
}

HRESULT ModuleInformation::get_Setting12(std::int32_t* value) noexcept {
  return read(setting12_, value);
}
HRESULT ModuleInformation::put_Setting12(std::int32_t value) noexcept {
  setting12_ = value;
  return notecast::S_OK;
}

HRESULT ModuleInformation::get_Setting13(std::int32_t* value) noexcept {
  return read(setting13_, value);
}
HRESULT ModuleInformation::put_Setting13(std::int32_t value) noexcept {
  setting13_ = value;
  return notecast::S_OK;
}

HRESULT ModuleInformation::get_Setting14(std::int32_t* value) noexcept {
  return read(setting14_, value);
}
HRESULT ModuleInformation::put_Setting14(std::int32_t value) noexcept {
  setting14_ = value;
  return notecast::S_OK;
}

HRESULT ModuleInformation::get_Window(IUnknown** value) noexcept {
  return readObject(window_, value);
}
HRESULT ModuleInformation::putref_Window(IUnknown* value) noexcept {
  window_ = notecast::ComPtr<IUnknown>::share(value);
  return notecast::S_OK;
}

HRESULT ModuleInformation::get_CommandServer(ICommandServer** value) noexcept {
  return readObject(commandServer_, value);
}
HRESULT ModuleInformation::putref_CommandServer(ICommandServer* value) noexcept {
  commandServer_ = notecast::ComPtr<ICommandServer>::share(value);
  return notecast::S_OK;
}

HRESULT ModuleInformation::get_MessageCodes(IIntegerCollection** value) noexcept {
  return readObject(messageCodes_, value);
}

}  // namespace lumo
