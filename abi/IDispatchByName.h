#pragma once
// Late-bound access to an object's properties by name, the way a script reads them
// (helper.Project.BaseFilename). Only what the plug-in needs: reading a property without arguments.
// Every call on the host's user-interface thread. The interface never changes; a new capability
// is a new interface.

#include <string>

#include "abi/Unknown.h"

namespace notecast {

class Variant;

class IDispatchByName : public IUnknown {
 public:
  static constexpr Iid iid{
      0xb20bca0f, 0x8022, 0x480b, {0xa7, 0x06, 0xf7, 0xf0, 0x76, 0xff, 0x5d, 0x35}};

  // Reads the property `name` (matched ignoring case) into *value; an object in it is a reference
  // of the Variant's own. E_POINTER for a null value; E_INVALIDARG (DISP_E_UNKNOWNNAME in COM)
  // when the object has no such property.
  virtual HRESULT GetProperty(const std::string& name, Variant* value) noexcept = 0;

 protected:
  ~IDispatchByName() = default;
};

// Reads `name` from `object` through IDispatchByName. Throws RuntimeError 91 for a null object,
// 438 when it is not late-bindable or has no such property, FailedResult for any other failure.
Variant getPropertyByName(IUnknown* object, const std::string& name);

}  // namespace notecast
