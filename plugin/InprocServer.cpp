// The entry points of Notecast.so, looked up by the host with dlsym.

#include "abi/EntryPoints.h"

#include <dlfcn.h>

#include "abi/Boundary.h"
#include "abi/ModuleLock.h"
#include "abi/NotecastClasses.h"
#include "os/ClassRegistry.h"
#include "plugin/ClassFactory.h"
#include "plugin/PluginGlobals.h"

#define NOTECAST_EXPORT extern "C" __attribute__((visibility("default")))

using namespace notecast;

namespace {

// The absolute path of this library, as the dynamic loader knows it.
std::string libraryPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&libraryPath), &info) == 0 || !info.dli_fname)
    throw std::runtime_error("cannot find the plug-in library's own path");
  char resolved[4096];
  return realpath(info.dli_fname, resolved) ? std::string(resolved) : std::string(info.dli_fname);
}

}  // namespace

NOTECAST_EXPORT HRESULT DllGetClassObject(const Clsid* clsid, const Iid* iid,
                                          void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!clsid || !iid) return E_POINTER;
  if (!(*clsid == kClsidLumoPlugIn)) return CLASS_E_CLASSNOTAVAILABLE;
  ComPtr<ClassFactory> factory;
  const HRESULT created = callGuarded([&] { factory = makeComObject<ClassFactory>(); });
  if (FAILED(created)) return created;
  return factory->QueryInterface(*iid, object);
}

NOTECAST_EXPORT HRESULT DllCanUnloadNow() noexcept {
  const bool idle = ModuleLock::liveObjects() == 0 && ModuleLock::serverLocks() == 0 &&
                    PluginGlobals::isTornDown();
  return idle ? S_OK : S_FALSE;
}

NOTECAST_EXPORT HRESULT DllRegisterServer() noexcept {
  const HRESULT hr = callGuarded([] {
    ClassRegistration registration{kProgIdLumoPlugIn,
                                   {{"CLSID", toString(kClsidLumoPlugIn)},
                                    {"Path", libraryPath()},
                                    {"Version", kVersionText},
                                    {"TypeLib", kTypeLibName},
                                    {"HelpString", kTypeLibHelpString}}};
    ClassRegistry().write(registration);
  });
  return SUCCEEDED(hr) ? S_OK : SELFREG_E_CLASS;
}

NOTECAST_EXPORT HRESULT DllUnregisterServer() noexcept {
  const HRESULT hr = callGuarded([] { ClassRegistry().remove(kProgIdLumoPlugIn); });
  return SUCCEEDED(hr) ? S_OK : SELFREG_E_CLASS;
}

NOTECAST_EXPORT HRESULT DllGetVersion(DllVersionInfo* info) noexcept {
  if (!info) return E_POINTER;
  if (info->cbSize < sizeof(DllVersionInfo)) return E_INVALIDARG;
  info->majorVersion = kVersionMajor;
  info->minorVersion = kVersionMinor;
  info->buildNumber = kVersionBuild;
  info->platformId = 0;
  return S_OK;
}
