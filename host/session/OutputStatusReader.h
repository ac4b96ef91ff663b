#pragma once
// Reads what the plug-in has sent through its optional output status interface
// (abi/IOutputStatus.h), for the headless status line and the desktop window. A plug-in without
// the interface gives no status, and the host shows none.
//
// Contract: user-interface thread only, while the session is open. Never calls anything that
// could load the plug-in's window or show a box, so it may be polled every second.

#include <cstdint>
#include <optional>
#include <string>

#include "abi/IOutputStatus.h"
#include "host/session/PluginSession.h"

namespace notecast::host {

struct OutputStatusSnapshot {
  std::string name;  // "" when no output is chosen
  OutputState state = OutputState::kNone;
  std::int64_t sent = 0;
  std::int64_t notSent = 0;
  std::string recentMessages;  // oldest first, one per line ("90 40 7F")
  std::string ownPort;         // the plug-in's own port ("Notecast:out"), "" when not told
};

// The plug-in's output status; nothing when it offers none or a read fails.
std::optional<OutputStatusSnapshot> readOutputStatus(const PluginSession& session);

// "open", "missing", "stalled"; "closed" for none.
const char* outputStateWord(OutputState state);

// "MIDI synth:input (from Notecast:out) open, 1204 sent, 3 not sent"; "MIDI output none chosen,
// ..." when none.
std::string describeOutputStatus(const OutputStatusSnapshot& status);

}  // namespace notecast::host
