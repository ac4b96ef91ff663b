#pragma once
// One in-process server library, loaded with dlopen and reached only through its entry points
// (abi/EntryPoints.h). Every way loading can fail has its own message.
//
// Contract:
//  - Objects created through classFactory() MUST all be released before unload(); the library
//    decides through DllCanUnloadNow whether it may really go.
//  - All calls MUST come from the host's user-interface thread.

#include <string>

#include "abi/ComPtr.h"
#include "abi/EntryPoints.h"
#include "abi/Guid.h"
#include "abi/HResult.h"
#include "abi/IClassFactory.h"

namespace notecast::host {

class PluginLibrary {
 public:
  // Loads the library at `path` (made absolute) and looks up the entry points every use needs.
  // Throws HostError: no such file, not a loadable library, or a missing entry point.
  explicit PluginLibrary(const std::string& path);
  // Unloads the library if it agrees (see unload()).
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // The absolute path the library was loaded from.
  const std::string& path() const noexcept { return path_; }

  // The class factory of `clsid`. Throws HostError when the library does not offer the class.
  ComPtr<IClassFactory> classFactory(const Clsid& clsid) const;

  // DllRegisterServer / DllUnregisterServer. Throws HostError when the entry point is missing.
  HRESULT registerServer() const;
  HRESULT unregisterServer() const;

  // Asks DllCanUnloadNow; only on S_OK the library is closed. Returns false when it stays loaded.
  // After a successful unload no other call may be made.
  bool unload() noexcept;

 private:
  // The entry point `name`; throws HostError naming it when the library lacks it.
  void* entryPoint(const char* name) const;

  std::string path_;
  void* handle_ = nullptr;
  DllGetClassObjectFn getClassObject_ = nullptr;
  DllCanUnloadNowFn canUnloadNow_ = nullptr;
};

}  // namespace notecast::host
