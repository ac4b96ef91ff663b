#pragma once
// The host's command-line choices for the plug-in's MIDI output (--midi-out, --connect), handed
// over through the plug-in's optional output choice interface (abi/IOutputChoice.h). They hold
// for this run only: the plug-in never writes them into the event file.
//
// Contract: user-interface thread only, after Init and before LoadProjectData (the output is
// chosen when the plug-in loads the event file).

#include <optional>
#include <string>
#include <vector>

#include "host/session/PluginSession.h"

namespace notecast::host {

// Chooses `midiOut` instead of the event file's output (when given) and keeps the plug-in's
// own port connected to each of `connectPorts`. Nothing is asked of the plug-in when neither is
// given. Returns a warning line when the choices could not be handed over (a plug-in without
// the interface, or one that refused them); the run goes on without them.
std::optional<std::string> applyOutputChoice(const PluginSession& session,
                                             const std::optional<std::string>& midiOut,
                                             const std::vector<std::string>& connectPorts);

}  // namespace notecast::host
