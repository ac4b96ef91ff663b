#include "host/session/OutputChoice.h"

#include "abi/ComPtr.h"
#include "abi/IClientName.h"
#include "abi/IOutputChoice.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

constexpr const char* kIgnored = "--midi-out and --connect are ignored";
constexpr const char* kOwnName = "Notecast";

ComPtr<IClientName> clientNameOf(const PluginSession& session) {
  return ComPtr<lumo::ILumoPlugin>::share(&session.plugin()).query<IClientName>();
}

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

std::optional<std::string> nameClient(const PluginSession& session, const std::string& name) {
  ComPtr<IClientName> client = clientNameOf(session);
  if (!client)
    return "warning: the plug-in cannot be named in the MIDI system; --name " + name +
           " is ignored";
  const HRESULT result = client->put_ClientName(name.c_str());
  if (FAILED(result))
    return "warning: the plug-in refused the MIDI client name " + name + ": " + formatError(result);
  return std::nullopt;
}

std::string ownPortOf(const PluginSession& session) {
  std::string port;
  ComPtr<IClientName> client = clientNameOf(session);
  if (!client || FAILED(client->get_OwnPort(&port))) return {};
  return port;
}

std::optional<std::string> takenNameWarning(const PluginSession& session,
                                            const std::optional<std::string>& asked) {
  const std::string port = ownPortOf(session);
  const std::string name = asked.value_or(kOwnName);
  if (port.empty() || port.rfind(name + ":", 0) == 0) return std::nullopt;
  return "warning: another program on the MIDI system is called " + name +
         ": this bridge's own port is " + port +
         (asked ? std::string() : std::string(" (--name NAME gives it a name of its own)"));
}

}  // namespace notecast::host
