#pragma once
// The host's two interactive modes around one loaded plug-in:
//  - desktop: the host's main window (project, DMX input, shared commands, Configure, Save,
//    Quit); Quit asks the plug-in about unsaved changes and stays on Cancel; a stop signal ends
//    the host without a question;
//  - headless: no windows, for a bridge without a screen. Message boxes are answered with their
//    default button and reported on standard error; nothing can be edited, so the event file is
//    never written. Only SIGINT, SIGTERM, the end of the DMX input or a failure of the input
//    end it, shutting down with Term only; SIGHUP loads the project's event file again.
// Both check the event file, start the plug-in in a lighting host's order (HostLifecycle), feed
// it the DMX input, and shut down in order however they end. Return the exit status (ExitStatus.h).

#include "host/CommandLine.h"
#include "host/session/PluginSession.h"

namespace notecast::host {

int runHeadless(PluginSession& session, const HostOptions& options);
int runDesktop(PluginSession& session, const HostOptions& options);
// --list-outputs: Init, the plug-in's outputs on standard output one a line, Term.
int listOutputs(PluginSession& session, const HostOptions& options);

}  // namespace notecast::host
