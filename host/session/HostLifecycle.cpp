#include "host/session/HostLifecycle.h"

#include "abi/ComPtr.h"
#include "abi/IEventCount.h"
#include "abi/IProjectReload.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {

HostLifecycle::HostLifecycle(PluginSession& session, Report report)
    : session_(session), report_(std::move(report)) {}

bool HostLifecycle::check(const char* what, HRESULT hr) const {
  if (SUCCEEDED(hr)) return true;
  report_(std::string(what) + ": " + explainFailure(hr));
  return false;
}

void HostLifecycle::startUp(const std::function<void()>& beforeProject) {
  const PluginGate::Call call(session_.gate());
  VARIANT_BOOL answer = VARIANT_FALSE;
  check("Init", session_.init(&answer));
  try {
    session_.fetchModuleInfo();
  } catch (const FailedResult& failure) {
    check("ModuleInfo", failure.result());
    return;  // without module information there is no window to load a project into
  }
  if (beforeProject) beforeProject();
  loadProject();
  check("Enable", session_.plugin().Enable(&answer));
}

void HostLifecycle::loadProject() {
  try {
    auto tool = session_.windowAs<lumo::ILumoTool>();
    check("ClearProjectData", tool->ClearProjectData());
    check("LoadProjectData", tool->LoadProjectData());
  } catch (const FailedResult& failure) {
    check("ILumoTool", failure.result());
  }
}

HostLifecycle::Reload HostLifecycle::reloadProject() {
  const PluginGate::Call call(session_.gate());
  const auto plugin = ComPtr<lumo::ILumoPlugin>::share(&session_.plugin());
  if (const auto reload = plugin.query<IProjectReload>()) {
    std::string problem;
    std::int32_t events = 0;
    if (!check("ReloadProject", reload->ReloadProject(&problem, &events))) return {};
    if (!problem.empty()) return {std::nullopt, problem};
    return {events, std::nullopt};
  }
  loadProject();
  const auto count = plugin.query<IEventCount>();
  std::int32_t events = 0;
  if (!count || FAILED(count->get_EventCount(&events))) return {};
  return {events, std::nullopt};
}

void HostLifecycle::shutDown(const std::function<void()>& afterTerm) {
  VARIANT_BOOL answer = VARIANT_FALSE;
  {
    const PluginGate::Call call(session_.gate());
    check("Term", session_.plugin().Term(&answer));
    if (afterTerm) afterTerm();
  }
  session_.close();
}

}  // namespace notecast::host
