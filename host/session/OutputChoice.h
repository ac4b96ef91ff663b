#pragma once
// The host's command-line choices for the plug-in's MIDI output (--midi-out, --connect, --name),
// handed over through the plug-in's optional output choice and client name interfaces
// (abi/IOutputChoice.h, abi/IClientName.h). They hold for this run only: the plug-in never
// writes them into the event file.
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

// Names the plug-in's MIDI client (--name) through its optional client name interface
// (abi/IClientName.h); a warning line when the plug-in cannot take the name.
std::optional<std::string> nameClient(const PluginSession& session, const std::string& name);

// The plug-in's own port as the MIDI system named it; empty when the plug-in does not tell it or
// is not connected to a MIDI system.
std::string ownPortOf(const PluginSession& session);

// A warning when the MIDI system gave the plug-in's client another name than the one asked for
// (`asked`; the plug-in's own when not given): another client had it.
std::optional<std::string> takenNameWarning(const PluginSession& session,
                                            const std::optional<std::string>& asked);

}  // namespace notecast::host
