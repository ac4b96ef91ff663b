#include "host/session/PluginLibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "host/session/HostError.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

std::string cannotLoad(const std::string& path, const std::string& why) {
  return "cannot load plug-in " + path + ": " + why;
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) {
  std::error_code error;
  path_ = std::filesystem::absolute(path, error).lexically_normal().string();
  if (error || path.empty()) path_ = path;
  // dlopen would search the library path for a bare name; the host only loads the file it names.
  if (path.empty() || !std::filesystem::exists(path_, error)) {
    throw HostError(cannotLoad(path_, "no such file"));
  }
  if (!std::filesystem::is_regular_file(path_, error)) {
    throw HostError(cannotLoad(path_, "not a file"));
  }
  // Resolve every symbol now, so a broken library fails here and not in the middle of a call;
  // keep its symbols to itself, as separate plug-ins must not see each other's.
  handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* reason = dlerror();
    throw HostError(cannotLoad(
        path_, std::string("not a loadable library: ") + (reason ? reason : "unknown reason")));
  }
  try {
    getClassObject_ = reinterpret_cast<DllGetClassObjectFn>(entryPoint(kDllGetClassObject));
    canUnloadNow_ = reinterpret_cast<DllCanUnloadNowFn>(entryPoint(kDllCanUnloadNow));
  } catch (...) {
    dlclose(handle_);
    throw;
  }
}

PluginLibrary::~PluginLibrary() {
  unload();
}

ComPtr<IClassFactory> PluginLibrary::classFactory(const Clsid& clsid) const {
  ComPtr<IClassFactory> factory;
  const HRESULT result = getClassObject_(&clsid, &IClassFactory::iid, factory.putVoid());
  if (FAILED(result) || !factory) {
    throw HostError(cannotLoad(path_, "class " + toString(clsid) + " not available: " +
                                          explainFailure(FAILED(result) ? result : E_POINTER)));
  }
  return factory;
}

HRESULT PluginLibrary::registerServer() const {
  return reinterpret_cast<DllRegisterServerFn>(entryPoint(kDllRegisterServer))();
}

HRESULT PluginLibrary::unregisterServer() const {
  return reinterpret_cast<DllUnregisterServerFn>(entryPoint(kDllUnregisterServer))();
}

bool PluginLibrary::unload() noexcept {
  if (!handle_) return true;
  if (canUnloadNow_() != S_OK) return false;
  dlclose(handle_);
  handle_ = nullptr;
  return true;
}

void* PluginLibrary::entryPoint(const char* name) const {
  dlerror();
  void* symbol = dlsym(handle_, name);
  if (!symbol) throw HostError(cannotLoad(path_, std::string("missing entry point ") + name));
  return symbol;
}

}  // namespace notecast::host
