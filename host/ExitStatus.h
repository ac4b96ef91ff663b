#pragma once
// The host's exit statuses (also in kHelp and the manual page, packaging/notecast-host.1).

namespace notecast::host {

// The run reached its end: the script's end or quit, the end of the DMX input, Quit, SIGINT or
// SIGTERM; failing plug-in calls and bad script lines do not change it.
inline constexpr int kExitSuccess = 0;
// The plug-in could not be loaded, a file given could not be read (script, recording),
// registration failed, the DMX input failed (standard input could not be read), the OLA
// daemon's host name has no address, or the web page cannot listen.
inline constexpr int kExitFailure = 1;
// The command line was not understood.
inline constexpr int kExitUsage = 2;

}  // namespace notecast::host
