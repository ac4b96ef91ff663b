#include "host/session/OutputChoice.h"

#include "abi/ComPtr.h"
#include "abi/IOutputChoice.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

constexpr const char* kIgnored = "--midi-out and --connect are ignored";

}  // namespace

std::optional<std::string> applyOutputChoice(const PluginSession& session,
                                             const std::optional<std::string>& midiOut,
                                             const std::vector<std::string>& connectPorts) {
  if (!midiOut && connectPorts.empty()) return std::nullopt;
  ComPtr<IOutputChoice> choice =
      ComPtr<lumo::ILumoPlugin>::share(&session.plugin()).query<IOutputChoice>();
  if (!choice)
    return std::string("warning: the plug-in offers no choice of its MIDI output; ") + kIgnored;
  if (midiOut) {
    const HRESULT result = choice->put_RunOutput(midiOut->c_str());
    if (FAILED(result))
      return "warning: the plug-in refused the MIDI output " + *midiOut + ": " +
             formatError(result);
  }
  if (!connectPorts.empty()) {
    std::vector<const char*> ports;
    ports.reserve(connectPorts.size());
    for (const std::string& port : connectPorts) ports.push_back(port.c_str());
    const HRESULT result =
        choice->put_KeptConnections(ports.data(), static_cast<std::int32_t>(ports.size()));
    if (FAILED(result))
      return "warning: the plug-in refused the ports to keep connected: " + formatError(result);
  }
  return std::nullopt;
}

}  // namespace notecast::host
