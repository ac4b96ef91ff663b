#include "host/session/EventFileReport.h"

#include <string_view>

#include "abi/ComPtr.h"
#include "abi/IEventFileCheck.h"
#include "host/session/TypingHints.h"

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

std::optional<std::string> projectBaseMistake(const PluginSession& session,
                                              const std::string& projectBase) {
  const std::string path = eventFileOf(session, projectBase);
  if (path.size() <= projectBase.size() || !path.starts_with(projectBase)) return std::nullopt;
  const std::string_view suffix = std::string_view(path).substr(projectBase.size());
  if (projectBase.size() <= suffix.size() || !projectBase.ends_with(suffix)) return std::nullopt;
  const std::string meant = projectBase.substr(0, projectBase.size() - suffix.size());
  // "folder/" + suffix is a hidden file's name, not an event file given by mistake.
  if (meant.ends_with('/')) return std::nullopt;
  return "--project takes the project without " + std::string(suffix) + " (" + projectBase +
         " would be kept in " + path + "): did you mean --project " + meant + "?";
}

std::optional<std::string> eventFileProblem(const PluginSession& session,
                                            const std::string& projectBase) {
  const ComPtr<IEventFileCheck> check = eventFileCheck(session);
  std::string problem;
  if (!check || FAILED(check->CheckEventFile(projectBase.c_str(), &problem)) || problem.empty())
    return std::nullopt;
  if (const auto hint = projectHint(projectBase, eventFileOf(session, projectBase)))
    problem += "; " + *hint;
  return problem;
}

}  // namespace notecast::host
