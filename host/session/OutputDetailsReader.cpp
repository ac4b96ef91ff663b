#include "host/session/OutputDetailsReader.h"

#include "abi/ComPtr.h"
#include "abi/IFailureDescription.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

template <class Interface>
ComPtr<Interface> ask(const PluginSession& session) {
  return ComPtr<lumo::ILumoPlugin>::share(&session.plugin()).query<Interface>();
}

}  // namespace

std::optional<std::string> readOutputList(const PluginSession& session) {
  const ComPtr<IOutputDetails> details = ask<IOutputDetails>(session);
  std::string lines;
  if (!details || FAILED(details->get_OutputList(&lines))) return std::nullopt;
  return lines;
}

std::vector<std::pair<std::string, std::string>> readConnectionStates(
    const PluginSession& session) {
  std::vector<std::pair<std::string, std::string>> states;
  const ComPtr<IOutputDetails> details = ask<IOutputDetails>(session);
  std::string lines;
  if (!details || FAILED(details->get_ConnectionStates(&lines))) return states;
  std::size_t start = 0;
  while (start < lines.size()) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size();
    const std::string line = lines.substr(start, end - start);
    const std::size_t tab = line.rfind('\t');
    if (tab != std::string::npos) states.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    start = end + 1;
  }
  return states;
}

bool giveOutputAdvice(const PluginSession& session, const char* sentence) {
  const ComPtr<IOutputDetails> details = ask<IOutputDetails>(session);
  return details && SUCCEEDED(details->put_OutputAdvice(sentence));
}

bool giveMessageSink(const PluginSession& session, IMessageSink* sink) {
  const ComPtr<IOutputDetails> details = ask<IOutputDetails>(session);
  return details && SUCCEEDED(details->put_MessageSink(sink));
}

std::string explainPluginFailure(const PluginSession& session, HRESULT result) {
  const ComPtr<IFailureDescription> failures = ask<IFailureDescription>(session);
  std::string description;
  if (failures && failures->get_FailureDescription(result, &description) == S_OK &&
      !description.empty())
    return description + " (" + formatError(result) + ")";
  return explainFailure(result);
}

}  // namespace notecast::host
