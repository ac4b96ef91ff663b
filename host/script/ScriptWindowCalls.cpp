// The script calls on the plug-in's window: its project data (ILumoTool) and the window itself
// (IExternalWindow).

#include "host/script/CallAdapters.h"
#include "host/script/ScriptRunner.h"

namespace notecast::host {

using lumo::IExternalWindow;
using lumo::ILumoTool;

void ScriptRunner::addToolCalls() {
  auto tool = [this] { return session_.windowAs<ILumoTool>(); };
  add("clear",
      [tool](const ScriptLine&) { return callPlain(*tool(), &ILumoTool::ClearProjectData); });
  add("load",
      [tool](const ScriptLine&) { return callPlain(*tool(), &ILumoTool::LoadProjectData); });
  add("save",
      [tool](const ScriptLine&) { return callPlain(*tool(), &ILumoTool::SaveProjectData); });
  add("ask-to-save",
      [tool](const ScriptLine&) { return callBoolean(*tool(), &ILumoTool::AskToSaveProjectData); });
  add("view-mode", [tool](const ScriptLine& line) {
    return setNumber(*tool(), &ILumoTool::put_ViewMode, line.number(0));
  });
}

void ScriptRunner::addWindowCalls() {
  auto window = [this] { return session_.windowAs<IExternalWindow>(); };
  add("is-open",
      [window](const ScriptLine&) { return callBoolean(*window(), &IExternalWindow::get_isOpen); });
  add("load-window",
      [window](const ScriptLine&) { return callBoolean(*window(), &IExternalWindow::loadWindow); });
  add("unload-window", [window](const ScriptLine&) {
    return callBoolean(*window(), &IExternalWindow::unloadWindow);
  });
  add("hide-window",
      [window](const ScriptLine&) { return callBoolean(*window(), &IExternalWindow::hideWindow); });
  add("show-window",
      [window](const ScriptLine&) { return callBoolean(*window(), &IExternalWindow::showWindow); });
  add("window-state", [window](const ScriptLine&) {
    return getNumber(*window(), &IExternalWindow::get_WindowState);
  });
  add("set-window-state", [window](const ScriptLine& line) {
    return setNumber(*window(), &IExternalWindow::put_WindowState, line.number(0));
  });
}

}  // namespace notecast::host
