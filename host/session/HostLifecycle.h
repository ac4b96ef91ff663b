#pragma once
// The order in which a lighting host starts and stops a plug-in, for the desktop and headless
// modes (script mode calls only what its script asks):
//   start-up:  Init, ModuleInfo, ClearProjectData, LoadProjectData, Enable
//   reload:    ReloadProject where the plug-in offers it (abi/IProjectReload.h: the running
//              events stay unless the new file can be used), else ClearProjectData,
//              LoadProjectData (the operator asks for the event file again)
//   shut-down: Term, then every reference released and the library unloaded when it agrees
// (the desktop mode asks AskToSaveProjectData before, and stays when the user cancels).
// Every failure result is reported, none is ignored. The start-up is one call through the
// session's gate, and so is Term. User-interface thread only.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "host/session/PluginSession.h"

namespace notecast::host {

class HostLifecycle {
 public:
  // `report` gets one line per failed call ("LoadProjectData: error 0x800A000D (...)").
  using Report = std::function<void(const std::string&)>;

  HostLifecycle(PluginSession& session, Report report);

  // Runs the start-up calls in order; a failing call is reported and the next one still runs,
  // as a host carries on with a plug-in that failed one request. `beforeProject` runs after
  // ModuleInfo and before the project's data is loaded (the run's choices for the plug-in).
  void startUp(const std::function<void()>& beforeProject = {});
  // What a reload did: the number of events the plug-in holds then, when it tells it, or why it
  // kept the running events.
  struct Reload {
    std::optional<std::int32_t> events;
    std::optional<std::string> refused;
  };
  // The project's data loaded again, as one call through the gate; the caller waits for the gate
  // to be free.
  Reload reloadProject();
  // Term, then `afterTerm` inside the same call to the plug-in, then the session is closed
  // (released, unloaded).
  void shutDown(const std::function<void()>& afterTerm = {});

  // Reports `what` when `hr` is a failure; true on success.
  bool check(const char* what, HRESULT hr) const;

 private:
  void loadProject();

  PluginSession& session_;
  Report report_;
};

}  // namespace notecast::host
