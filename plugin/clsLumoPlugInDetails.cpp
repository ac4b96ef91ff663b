// The plug-in object's output details: the outputs it offers, the kept connections' states, the
// sink told of every message sent, and the host's advice on choosing an output. All but the
// output list only read or hand over to the core, without loading it.

#include "abi/Boundary.h"
#include "plugin/PluginGlobals.h"
#include "plugin/clsLumoPlugIn.h"

namespace notecast {
namespace {

const char* stateName(KeptConnections::State state) {
  switch (state) {
    case KeptConnections::State::kConnected:
      return kConnectionConnected;
    case KeptConnections::State::kGone:
      return kConnectionGone;
    case KeptConnections::State::kWaiting:
      break;
  }
  return kConnectionWaiting;
}

}  // namespace

HRESULT clsLumoPlugIn::get_OutputList(std::string* lines) noexcept {
  if (!lines) return E_POINTER;
  lines->clear();
  return callGuarded([&] {
    std::string list;
    for (const std::string& name : PluginGlobals::core().outputNames()) list += name + '\n';
    *lines = std::move(list);
  });
}

HRESULT clsLumoPlugIn::get_ConnectionStates(std::string* lines) noexcept {
  if (!lines) return E_POINTER;
  lines->clear();
  return callGuarded([&] {
    std::string states;
    for (const auto& [port, state] : PluginGlobals::core().keptConnectionStates())
      states += port + '\t' + stateName(state) + '\n';
    *lines = std::move(states);
  });
}

HRESULT clsLumoPlugIn::put_MessageSink(IMessageSink* sink) noexcept {
  return callGuarded([&] { PluginGlobals::core().setMessageSink(sink); });
}

HRESULT clsLumoPlugIn::put_OutputAdvice(const char* sentence) noexcept {
  return callGuarded([&] { PluginGlobals::core().setOutputAdvice(sentence ? sentence : ""); });
}

}  // namespace notecast
