#include "host/Registration.h"

#include "host/ExitStatus.h"
#include "host/session/HostError.h"
#include "host/session/PluginLibrary.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {

int runRegistration(const std::string& path, RegistrationAction action, std::ostream& out,
                    std::ostream& err) {
  const bool adding = action == RegistrationAction::Register;
  const char* entryPoint = adding ? kDllRegisterServer : kDllUnregisterServer;
  try {
    PluginLibrary library(path);
    const HRESULT result = adding ? library.registerServer() : library.unregisterServer();
    if (FAILED(result)) {
      err << "notecast-host: " << entryPoint << " of " << library.path()
          << " failed: " << explainFailure(result) << '\n';
      return kExitFailure;
    }
    out << (adding ? "registered " : "unregistered ") << library.path() << '\n';
    if (!library.unload()) {
      err << "notecast-host: warning: " << library.path() << " stays loaded (DllCanUnloadNow)\n";
    }
    return kExitSuccess;
  } catch (const HostError& error) {
    err << "notecast-host: " << error.what() << '\n';
    return kExitFailure;
  }
}

}  // namespace notecast::host
