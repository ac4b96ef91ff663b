#pragma once
// The entry points of an in-process server library, as the host looks them up with dlsym.
//
//   DllGetClassObject   the class factory of a class id (CLASS_E_CLASSNOTAVAILABLE for others)
//   DllCanUnloadNow     S_OK when no object of the library and no factory lock is alive, so the
//                       host may dlclose it; S_FALSE otherwise
//   DllRegisterServer   records the library's classes in the host's registry file
//   DllUnregisterServer removes them again
//   DllGetVersion       the library's version record
//
// Contract:
//  - All MUST be called on the host's user-interface thread.
//  - A library MUST export DllGetClassObject and DllCanUnloadNow (the host looks them up on load);
//    the others are looked up when used.
//  - DllGetClassObject: *object is an added reference the caller owns and MUST Release, null on
//    failure; E_POINTER when a pointer argument is null.
//  - The host MUST NOT dlclose the library unless DllCanUnloadNow answered S_OK, and MUST NOT call
//    into it afterwards.
//  - DllRegisterServer / DllUnregisterServer answer SELFREG_E_CLASS for any failure.
//  - DllGetVersion: cbSize MUST be at least sizeof(DllVersionInfo) (E_INVALIDARG otherwise);
//    E_POINTER for a null info.
//  - The names, signatures and the layout of DllVersionInfo never change.

#include <cstdint>

#include "abi/Guid.h"
#include "abi/HResult.h"

namespace notecast {

struct DllVersionInfo {
  std::uint32_t cbSize = sizeof(DllVersionInfo);
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;
};

using DllGetClassObjectFn = HRESULT (*)(const Clsid* clsid, const Iid* iid, void** object);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();
using DllGetVersionFn = HRESULT (*)(DllVersionInfo* info);

inline constexpr const char* kDllGetClassObject = "DllGetClassObject";
inline constexpr const char* kDllCanUnloadNow = "DllCanUnloadNow";
inline constexpr const char* kDllRegisterServer = "DllRegisterServer";
inline constexpr const char* kDllUnregisterServer = "DllUnregisterServer";
inline constexpr const char* kDllGetVersion = "DllGetVersion";

}  // namespace notecast
