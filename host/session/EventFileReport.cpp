#include "host/session/EventFileReport.h"

#include "abi/ComPtr.h"
#include "abi/IEventFileCheck.h"

namespace notecast::host {
namespace {

ComPtr<IEventFileCheck> eventFileCheck(const PluginSession& session) {
  return ComPtr<lumo::ILumoPlugin>::share(&session.plugin()).query<IEventFileCheck>();
}

}  // namespace

std::string eventFileOf(const PluginSession& session, const std::string& projectBase) {
  const ComPtr<IEventFileCheck> check = eventFileCheck(session);
  std::string path;
  if (!check || FAILED(check->get_EventFilePath(projectBase.c_str(), &path))) return projectBase;
  return path;
}

std::optional<std::string> eventFileProblem(const PluginSession& session,
                                            const std::string& projectBase) {
  const ComPtr<IEventFileCheck> check = eventFileCheck(session);
  std::string problem;
  if (!check || FAILED(check->CheckEventFile(projectBase.c_str(), &problem)) || problem.empty())
    return std::nullopt;
  return problem;
}

}  // namespace notecast::host
