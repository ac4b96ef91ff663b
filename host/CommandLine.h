#pragma once
// The host's command line:
//   notecast-host [--plugin PATH] [--project BASE] [--dmx SOURCE] [--loop]
//                 [--script FILE|- | --headless] [--show]
//   notecast-host --register PATH | --unregister PATH

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
    "       SOURCE: ola:UNIVERSE[,UNIVERSE...] | stdin | replay:FILE\n"
    "       notecast-host --register PATH\n"
    "       notecast-host --unregister PATH\n";

// `arguments` without the program name. Throws HostError with the reason for an unknown option,
// a missing value, an option given twice, or registration mixed with other options.
HostOptions parseCommandLine(const std::vector<std::string>& arguments);

}  // namespace notecast::host
