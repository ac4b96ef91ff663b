// The script calls on the plug-in object itself.

#include "host/script/CallAdapters.h"
#include "host/script/ScriptRunner.h"
#include "host/session/ModuleInfoReport.h"

namespace notecast::host {

using lumo::ILumoPlugin;

void ScriptRunner::addPluginCalls() {
  add("init", [this](const ScriptLine&) {
    VARIANT_BOOL answer = VARIANT_FALSE;
    throwIfFailed(session_.init(&answer));
    return CallResult{formatBoolean(answer), {}};
  });
  add("plugin-name", [this](const ScriptLine&) {
    std::string name;
    throwIfFailed(session_.plugin().get_PluginName(&name));
    return CallResult{quoteText(name), {}};
  });
  add("enable",
      [this](const ScriptLine&) { return callBoolean(session_.plugin(), &ILumoPlugin::Enable); });
  add("disable",
      [this](const ScriptLine&) { return callBoolean(session_.plugin(), &ILumoPlugin::Disable); });
  add("configure", [this](const ScriptLine&) {
    return callBoolean(session_.plugin(), &ILumoPlugin::Configure);
  });
  add("term",
      [this](const ScriptLine&) { return callBoolean(session_.plugin(), &ILumoPlugin::Term); });
  add("message", [this](const ScriptLine& line) {
    std::int32_t message = line.number(0), first = line.number(1), second = line.number(2),
                 answer = 0;
    throwIfFailed(session_.plugin().MessageHandle(&message, &first, &second, &answer));
    return CallResult{formatNumber(answer), {}};
  });
  add("dmx", [this](const ScriptLine& line) {
    std::int32_t message = lumo::kMessageChannelValue, channel = line.number(0),
                 value = line.number(1), answer = 0;
    throwIfFailed(session_.plugin().MessageHandle(&message, &channel, &value, &answer));
    return CallResult{formatNumber(answer), {}};
  });
  add("module-info", [this](const ScriptLine&) { return moduleInfo(); });
}

CallResult ScriptRunner::moduleInfo() {
  ComPtr<lumo::IModuleInformation> info = session_.fetchModuleInfo();
  std::vector<std::string> items = reportModuleInfo(*info);
  return {formatNumber(static_cast<std::int32_t>(items.size())), std::move(items)};
}

}  // namespace notecast::host
