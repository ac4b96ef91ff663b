#pragma once
// The host's module information record. The plug-in creates one with
// LumoCreateModuleInformation, sets its properties and hands it to the host. The fifteen
// properties come in this order; the host gives the unnamed settings their meaning.
//
// Contract: every call on the host's user-interface thread. Texts are copied in and out. An object
// property read out is an added reference the caller owns and MUST Release (null when none was
// set); putref_ keeps a reference of its own (ownership isn't transferred). E_POINTER for a null
// out-parameter. The objects the record holds keep their libraries loaded until it is released.
// The host defines this interface and never changes it; a new capability is a new interface.

#include <cstdint>
#include <string>

#include "abi/IIntegerCollection.h"
#include "abi/Unknown.h"

namespace lumo {

using notecast::HRESULT;
using notecast::Iid;
using notecast::IIntegerCollection;
using notecast::IUnknown;

class ICommandServer;

class IModuleInformation : public IUnknown {
 public:
  static constexpr Iid iid{
      0x918ca76a, 0xc1f6, 0x42cf, {0x8c, 0xc6, 0xa9, 0xd4, 0x8a, 0x44, 0x5a, 0x33}};

  // 1
  virtual HRESULT get_ModuleId(std::string* value) noexcept = 0;
  virtual HRESULT put_ModuleId(const std::string& value) noexcept = 0;
  // 2
  virtual HRESULT get_ModuleName(std::string* value) noexcept = 0;
  virtual HRESULT put_ModuleName(const std::string& value) noexcept = 0;
  // 3
  virtual HRESULT get_Description(std::string* value) noexcept = 0;
  virtual HRESULT put_Description(const std::string& value) noexcept = 0;
  // 4
  virtual HRESULT get_Author(std::string* value) noexcept = 0;
  virtual HRESULT put_Author(const std::string& value) noexcept = 0;
  // 5
  virtual HRESULT get_Setting5(std::int32_t* value) noexcept = 0;
  virtual HRESULT put_Setting5(std::int32_t value) noexcept = 0;
  // 6
  virtual HRESULT get_Setting6(std::int32_t* value) noexcept = 0;
  virtual HRESULT put_Setting6(std::int32_t value) noexcept = 0;
  // 7
  virtual HRESULT get_Setting7(std::int32_t* value) noexcept = 0;
  virtual HRESULT put_Setting7(std::int32_t value) noexcept = 0;
  // 8: class name of the configuration window
  virtual HRESULT get_WindowClassName(std::string* value) noexcept = 0;
  virtual HRESULT put_WindowClassName(const std::string& value) noexcept = 0;
  // 9: the configuration window object (set by reference; may be null)
  virtual HRESULT get_Window(IUnknown** value) noexcept = 0;
  virtual HRESULT putref_Window(IUnknown* value) noexcept = 0;
  // 10
  virtual HRESULT get_Setting10(std::int32_t* value) noexcept = 0;
  virtual HRESULT put_Setting10(std::int32_t value) noexcept = 0;
  // 11: the command server (set by reference; may be null)
  virtual HRESULT get_CommandServer(ICommandServer** value) noexcept = 0;
  virtual HRESULT putref_CommandServer(ICommandServer* value) noexcept = 0;
  // 12
  virtual HRESULT get_Setting12(std::int32_t* value) noexcept = 0;
  virtual HRESULT put_Setting12(std::int32_t value) noexcept = 0;
  // 13
  virtual HRESULT get_Setting13(std::int32_t* value) noexcept = 0;
  virtual HRESULT put_Setting13(std::int32_t value) noexcept = 0;
  // 14
  virtual HRESULT get_Setting14(std::int32_t* value) noexcept = 0;
  virtual HRESULT put_Setting14(std::int32_t value) noexcept = 0;
  // 15: the host message codes the module handles, the record's own collection (the same one on
  // every read); read it, then add to it
  virtual HRESULT get_MessageCodes(IIntegerCollection** value) noexcept = 0;

 protected:
  ~IModuleInformation() = default;
};

}  // namespace lumo
