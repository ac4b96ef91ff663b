#pragma once
// The host's side of the plug-in's optional output details (abi/IOutputDetails.h) and failure
// descriptions (abi/IFailureDescription.h): the outputs it offers, the state of the ports it keeps
// connected, the host's advice for choosing an output, and what a failure result meant. A
// plug-in without them gives nothing, and the host says less.
//
// Contract: user-interface thread only, while the session is open.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "abi/HResult.h"
#include "abi/IOutputDetails.h"
#include "host/session/PluginSession.h"

namespace notecast::host {

// The plug-in's outputs, one a line as its list names them; nothing when it cannot tell.
std::optional<std::string> readOutputList(const PluginSession& session);

// Each kept connection's port and state (kConnectionWaiting, ...); empty when there are none or
// the plug-in cannot tell.
std::vector<std::pair<std::string, std::string>> readConnectionStates(const PluginSession& session);

// Hands the plug-in the advice it gives where no output is open; false when it takes none.
bool giveOutputAdvice(const PluginSession& session, const char* sentence);

// Hands the plug-in the sink told of every message sent (null: none); false when it takes none.
bool giveMessageSink(const PluginSession& session, IMessageSink* sink);

// "no MIDI output device is open (error 0x800A7531)" when the plug-in describes `result`, the
// host's own explanation ("error 0x800A7531 (run-time error 30001: ...)") otherwise.
std::string explainPluginFailure(const PluginSession& session, HRESULT result);

}  // namespace notecast::host
