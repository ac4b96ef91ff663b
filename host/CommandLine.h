#pragma once
// The host's command line:
//   notecast-host [--plugin PATH] [--project BASE] [--dmx SOURCE] [--loop]
//                 [--script FILE|- | --headless] [--show]
//   notecast-host --register PATH | --unregister PATH
//   notecast-host -h | --help

#include <optional>
#include <string>
#include <vector>

namespace notecast::host {

struct HostOptions {
  std::optional<std::string> pluginPath;  // else the one registered
  std::string projectBase;                // empty: no project open
  std::optional<std::string> scriptPath;  // "-" reads standard input
  bool show = false;                      // real windows instead of offscreen
  std::optional<std::string> dmxSource;   // "ola:1[,2...]", "stdin" or "replay:FILE"
  bool loop = false;                      // repeat a replay
  bool headless = false;                  // no windows, for a bridge without a screen
  std::optional<std::string> registerPath;
  std::optional<std::string> unregisterPath;
  bool help = false;
};

inline constexpr const char* kUsage =
    "usage: notecast-host [--plugin PATH] [--project BASE] [--dmx SOURCE] [--loop]\n"
    "                     [--script FILE|- | --headless] [--show]\n"
    "       notecast-host --register PATH | --unregister PATH\n"
    "       notecast-host -h | --help\n";

// kUsage, then what each option does and the exit statuses.
inline constexpr const char* kHelp =
    "\n"
    "Loads the Notecast plug-in as a lighting host does and feeds it DMX.\n"
    "\n"
    "  --plugin PATH      the plug-in library (default: the one registered)\n"
    "  --project BASE     the host project; the plug-in keeps its settings in BASE.Notecast\n"
    "  --dmx SOURCE       DMX input: ola:UNIVERSE[,UNIVERSE...] (a running olad), stdin\n"
    "                     (lines \"CHANNEL VALUE\") or replay:FILE (an ola_recorder recording)\n"
    "  --loop             repeat the replay\n"
    "  --script FILE|-    script mode: one host call per line (- reads standard input)\n"
    "  --headless         no windows (also wherever there is no display); boxes are answered\n"
    "                     with their default button\n"
    "  --show             script and headless modes: windows on the screen, not offscreen\n"
    "  --register PATH    register the plug-in's class in the host's registry file\n"
    "  --unregister PATH  remove it again\n"
    "  -h, --help         this text\n"
    "\n"
    "Exit status:\n"
    "  0  the run reached its end: the script's end or quit, the end of the DMX input, Quit,\n"
    "     SIGINT or SIGTERM (also with failing plug-in calls or bad script lines)\n"
    "  1  the plug-in could not be loaded, a file given could not be read, registration\n"
    "     failed, or the DMX input failed\n"
    "  2  the command line was not understood\n";

// `arguments` without the program name. Throws HostError with the reason for an unknown option,
// a missing value, an option given twice, registration mixed with other options, or a DMX source
// that is not one.
HostOptions parseCommandLine(const std::vector<std::string>& arguments);

}  // namespace notecast::host
