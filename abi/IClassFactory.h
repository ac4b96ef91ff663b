#pragma once
// Creates the objects of one class, as COM's IClassFactory does. DllGetClassObject hands the
// factory out as an added reference the caller MUST Release. Every call on the host's
// user-interface thread; the iid and slots are COM's and never change.

#include "abi/Unknown.h"

namespace notecast {

class IClassFactory : public IUnknown {
 public:
  static constexpr Iid iid{
      0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

  // `outer` MUST be null (no aggregation: CLASS_E_NOAGGREGATION). On success *object holds an
  // added reference to the interface `iid` of a new object, which the caller MUST Release; on
  // failure it is null (E_POINTER when `object` is null).
  virtual HRESULT CreateInstance(IUnknown* outer, const Iid& iid, void** object) noexcept = 0;
  // While locked, the library answers "no" to DllCanUnloadNow even without live objects. Every
  // LockServer(true) MUST be matched by one LockServer(false).
  virtual HRESULT LockServer(bool lock) noexcept = 0;

 protected:
  ~IClassFactory() = default;
};

}  // namespace notecast
