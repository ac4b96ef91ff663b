#include "host/session/OutputStatusReader.h"

#include "abi/ComPtr.h"
#include "host/session/OutputChoice.h"

namespace notecast::host {
const char* outputStateWord(OutputState state) {
  switch (state) {
    case OutputState::kOpen:
      return "open";
    case OutputState::kMissing:
      return "missing";
    case OutputState::kStalled:
      return "stalled";
    case OutputState::kNone:
      break;
  }
  return "closed";
}

std::optional<OutputStatusSnapshot> readOutputStatus(const PluginSession& session) {
  ComPtr<IOutputStatus> status =
      ComPtr<lumo::ILumoPlugin>::share(&session.plugin()).query<IOutputStatus>();
  if (!status) return std::nullopt;
  OutputStatusSnapshot snapshot;
  std::int32_t state = 0;
  if (FAILED(status->get_OutputName(&snapshot.name)) || FAILED(status->get_OutputState(&state)) ||
      FAILED(status->get_MessagesSent(&snapshot.sent)) ||
      FAILED(status->get_MessagesNotSent(&snapshot.notSent)) ||
      FAILED(status->get_RecentMessages(&snapshot.recentMessages)))
    return std::nullopt;
  snapshot.state = static_cast<OutputState>(state);
  snapshot.ownPort = ownPortOf(session);
  return snapshot;
}

std::string describeOutputStatus(const OutputStatusSnapshot& status) {
  std::string text = "MIDI output none chosen";
  if (!status.name.empty()) {
    text = "MIDI " + status.name;
    if (!status.ownPort.empty()) text += " (from " + status.ownPort + ")";
    text += std::string(" ") + outputStateWord(status.state);
  }
  text +=
      ", " + std::to_string(status.sent) + " sent, " + std::to_string(status.notSent) + " not sent";
  return text;
}

}  // namespace notecast::host
