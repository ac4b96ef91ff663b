#pragma once
// Everything the host holds of one loaded plug-in: the library, the plug-in object, the helper
// handed to Init, and the module information last asked for with the window and command server
// it names, and the gate every call into the plug-in goes through.
//
// Contract:
//  - All calls MUST come from the host's user-interface thread, with a QApplication alive from
//    construction to close().
//  - Every call into the plug-in (its object, window or command server) MUST be made inside a
//    PluginGate::Call of gate(): the plug-in takes one call at a time.
//  - close() (also run by the destructor) releases every reference the host holds, then lets the
//    library decide through DllCanUnloadNow whether it is unloaded.

#include <memory>
#include <ostream>
#include <string>

#include "abi/ComPtr.h"
#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "abi/RuntimeError.h"
#include "host/session/HostBoxAnswerer.h"
#include "host/session/HostHelper.h"
#include "host/session/PluginGate.h"
#include "host/session/PluginLibrary.h"

namespace notecast::host {

class PluginSession {
 public:
  // Title the host gives itself in Init.
  static constexpr const char* kHostTitle = "notecast-host";

  // Loads the library and creates the plug-in object of `clsid`. Throws HostError saying what
  // failed. Calls nothing on the object yet.
  PluginSession(const std::string& libraryPath, const Clsid& clsid, std::string projectBase);
  ~PluginSession();
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  const std::string& libraryPath() const noexcept { return library_.path(); }
  lumo::ILumoPlugin& plugin() const noexcept { return *plugin_; }
  HostHelper& helper() const noexcept { return *helper_; }
  PluginGate& gate() noexcept { return gate_; }
  const PluginGate& gate() const noexcept { return gate_; }

  // Init(kHostTitle, library path, helper); returns what the plug-in answered.
  HRESULT init(VARIANT_BOOL* result);

  // Asks the plug-in for its module information and keeps it, with its window and command
  // server, for later calls. Throws FailedResult when the plug-in fails the call.
  ComPtr<lumo::IModuleInformation> fetchModuleInfo();

  // Interface `Interface` of the window, or of the command server, of the last module
  // information; fetches one first when none was fetched yet. Throws FailedResult
  // (E_NOINTERFACE) when there is no such object or it lacks the interface.
  template <class Interface>
  ComPtr<Interface> windowAs() {
    return require<Interface>(keptModuleInfo().window);
  }
  ComPtr<lumo::ICommandServer> commandServer() {
    return require<lumo::ICommandServer>(keptModuleInfo().commandServer);
  }

  // From now on the plug-in's boxes are answered by the host and reported on `out`
  // in `lines`' words (HostBoxAnswerer); false when the plug-in shows them itself. Inside the gate.
  bool answerBoxes(std::ostream& out, HostBoxAnswerer::Lines lines);
  // The host's answerer once answerBoxes() was called; null before.
  HostBoxAnswerer* boxAnswerer() noexcept { return boxAnswerer_.get(); }

  // Releases every reference, then unloads the library if it agrees; warns on stderr otherwise.
  // Safe to call more than once.
  void close() noexcept;

 private:
  struct KeptModuleInfo {
    ComPtr<lumo::IModuleInformation> record;
    ComPtr<IUnknown> window;
    ComPtr<IUnknown> commandServer;
  };

  const KeptModuleInfo& keptModuleInfo();

  template <class Interface>
  static ComPtr<Interface> require(const ComPtr<IUnknown>& object) {
    ComPtr<Interface> found = object.query<Interface>();
    if (!found) throw FailedResult(E_NOINTERFACE);
    return found;
  }

  PluginLibrary library_;                         // declared first: it outlives every object below
  std::unique_ptr<HostBoxAnswerer> boxAnswerer_;  // outlives the plug-in object, which holds it
  ComPtr<HostHelper> helper_;
  ComPtr<lumo::ILumoPlugin> plugin_;
  KeptModuleInfo moduleInfo_;
  PluginGate gate_;
  bool closed_ = false;
};

}  // namespace notecast::host
