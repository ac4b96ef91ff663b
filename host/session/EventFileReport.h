#pragma once
// The plug-in's word on the project's event file, through its optional event file check
// (abi/IEventFileCheck.h): which file it keeps the project in, for the window, and what keeps
// that file from loading, for a warning before the plug-in loads it. The host knows nothing of
// the file itself. A plug-in without the interface (or failing the call) is not checked: no
// warning, and the project base stands for the file.
//
// Contract: user-interface thread, while the session is open; also before Init.

#include <optional>
#include <string>

#include "host/session/PluginSession.h"

namespace notecast::host {

// The event file of `projectBase` as the plug-in names it; `projectBase` itself when it does not
// say. "" without a project.
std::string eventFileOf(const PluginSession& session, const std::string& projectBase);

// What is wrong with a project base that ends in the suffix the plug-in adds for its event file
// (`--project demo.Notecast` would be kept in demo.Notecast.Notecast): one line ending in "did
// you mean --project demo?"; nothing for any other base, or when the plug-in does not name its
// file. The host knows the suffix only from the plug-in, so this is asked once it is loaded.
std::optional<std::string> projectBaseMistake(const PluginSession& session,
                                              const std::string& projectBase);

// The plug-in's one line on what is wrong with the event file of `projectBase`; nothing when the
// file looks loadable, no project is open, or the plug-in does not say.
std::optional<std::string> eventFileProblem(const PluginSession& session,
                                            const std::string& projectBase);

}  // namespace notecast::host
