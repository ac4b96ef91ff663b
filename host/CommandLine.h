#pragma once
// The host's command line:
//   notecast-host [--plugin PATH] [--project BASE] [--dmx SOURCE] [--loop]
//                 [--script FILE|- | --headless] [--show] [--quiet]
//                 [--midi-out NAME] [--connect PORT]... [--name NAME] [--monitor]
//                 [--keep-notes | --release-after SECONDS]
//                 [--web [ADDRESS:]PORT [--web-token-file FILE]]
//   notecast-host [--plugin PATH] [--name NAME] --list-outputs
//   notecast-host --register PATH | --unregister PATH
//   notecast-host -h | --help | --version
// Every option that takes a value also takes it as --option=VALUE.

#include <optional>
#include <string>
#include <vector>

namespace notecast::host {

struct HostOptions {
  std::optional<std::string> pluginPath;    // else the one registered, else the one installed
  std::string projectBase;                  // empty: none given (see defaultProjectBase)
  std::optional<std::string> scriptPath;    // "-" reads standard input
  bool show = false;                        // real windows instead of offscreen
  std::optional<std::string> dmxSource;     // "ola:1[,2...][@HOST[:PORT]]", "stdin", "replay:FILE"
  bool loop = false;                        // repeat a replay
  bool headless = false;                    // no windows, for a bridge without a screen
  bool quiet = false;                       // headless: no status line
  std::optional<std::string> midiOut;       // the MIDI output for this run, not stored
  std::vector<std::string> connectPorts;    // ports to connect the plug-in's own port to
  std::optional<std::string> clientName;    // the plug-in's MIDI client ("NAME:out")
  bool monitor = false;                     // every message sent, on standard output
  bool keepNotes = false;                   // no note release (desktop and headless)
  std::optional<double> releaseAfter;       // seconds without DMX before the notes are released
  std::optional<std::string> web;           // "[ADDRESS:]PORT" of the web page
  std::optional<std::string> webTokenFile;  // the page's secret, else one made at the start
  bool listOutputs = false;                 // print the plug-in's outputs and end
  std::optional<std::string> registerPath;
  std::optional<std::string> unregisterPath;
  bool help = false;
  bool version = false;
};

inline constexpr const char* kUsage =
    "usage: notecast-host [--plugin PATH] [--project BASE] [--dmx SOURCE] [--loop]\n"
    "                     [--script FILE|- | --headless] [--show] [--quiet]\n"
    "                     [--midi-out NAME] [--connect PORT]... [--name NAME] [--monitor]\n"
    "                     [--keep-notes | --release-after SECONDS]\n"
    "                     [--web [ADDRESS:]PORT [--web-token-file FILE]]\n"
    "       notecast-host [--plugin PATH] [--name NAME] --list-outputs\n"
    "       notecast-host --register PATH | --unregister PATH\n"
    "       notecast-host -h | --help | --version\n";

// kUsage, then what each option does and the exit statuses.
inline constexpr const char* kHelp =
    "\n"
    "Loads the Notecast plug-in as a lighting host does and feeds it DMX.\n"
    "Every option that takes a value may also be written --option=VALUE (a value that\n"
    "starts with -- only so).\n"
    "\n"
    "  --plugin PATH      the plug-in library (default: the one registered, else the one\n"
    "                     installed beside the host in ../lib/notecast/)\n"
    "  --project BASE     the host project; the plug-in keeps its settings in BASE.Notecast\n"
    "                     (default in the desktop and headless modes:\n"
    "                     $XDG_DATA_HOME/notecast/default, ~/.local/share/notecast/default;\n"
    "                     script mode: no project)\n"
    "  --dmx SOURCE       DMX input: ola:UNIVERSE[,UNIVERSE...][@HOST[:PORT]] (a running\n"
    "                     olad, by default at 127.0.0.1:9010; HOST an IPv4 address or a name,\n"
    "                     not IPv6), stdin (lines \"CHANNEL VALUE\") or replay:FILE (an\n"
    "                     ola_recorder recording)\n"
    "  --loop             repeat the replay (of a file: not a pipe or a device)\n"
    "  --script FILE|-    script mode: one host call per line (- reads standard input)\n"
    "  --headless         no windows (also wherever there is no display); boxes are answered\n"
    "                     with their default button\n"
    "  --show             script mode: windows on the screen, not offscreen\n"
    "  --quiet            headless mode: no status line (warnings and boxes still on stderr)\n"
    "  --midi-out NAME    choose the MIDI output for this run without touching the event file\n"
    "  --connect PORT     connect Notecast's own port to PORT whenever both exist (may be\n"
    "                     given more than once)\n"
    "  --name NAME        the plug-in's client in the MIDI system, so that several bridges\n"
    "                     on one MIDI system can be told apart: its port is NAME:out\n"
    "                     (default Notecast; JACK adds -01, -02 to a name that is taken)\n"
    "  --monitor          print every MIDI message sent on standard output: time, bytes and\n"
    "                     meaning\n"
    "  --keep-notes       leave the notes the plug-in sounded as they are (by default the\n"
    "                     desktop and headless modes have it send a note-off for each before\n"
    "                     its output closes or changes, and before a reload)\n"
    "  --release-after SECONDS\n"
    "                     also release the sounding notes once DMX has not come for SECONDS\n"
    "  --web [ADDRESS:]PORT\n"
    "                     a web page of the bridge, live: the DMX input, the MIDI output and\n"
    "                     its messages, the events, the shared events to fire, Reload\n"
    "                     (headless). ADDRESS defaults to 127.0.0.1 (this machine only); any\n"
    "                     other (0.0.0.0: every network) needs a secret, which the host makes\n"
    "                     and prints in the page's address at the start\n"
    "  --web-token-file FILE\n"
    "                     the page's secret: the first line of FILE (16 or more letters,\n"
    "                     digits or -._~), so the address stays the same across restarts\n"
    "  --list-outputs     print the MIDI outputs the plug-in offers, one a line, and end\n"
    "  --register PATH    register the plug-in's class in the host's registry file\n"
    "  --unregister PATH  remove it again\n"
    "  -h, --help         this text\n"
    "  --version          the host's name and version\n"
    "\n"
    "Exit status:\n"
    "  0  the run reached its end: the script's end or quit, the end of the DMX input, Quit,\n"
    "     SIGINT or SIGTERM (also with failing plug-in calls or bad script lines); --help,\n"
    "     --version\n"
    "  1  the plug-in could not be loaded, a file given could not be read, registration\n"
    "     failed, the DMX input failed, the OLA daemon's host name has no address, the web\n"
    "     page cannot listen (its port in use), --show where no window can be shown, or\n"
    "     --list-outputs found no MIDI system\n"
    "  2  the command line was not understood\n";

// "notecast-host VERSION", the version of the build.
std::string versionLine();

// `arguments` without the program name. Throws HostError with the reason for an unknown option,
// a missing value, a value given to an option that takes none, an option given twice,
// registration mixed with other options, or a DMX source that is not one.
HostOptions parseCommandLine(const std::vector<std::string>& arguments);

// The project of a run that names none: BASE "notecast/default" under the user's data folder,
// `xdgDataHome` when it is an absolute path (the XDG rule), else `home`/.local/share. Throws
// HostError when neither gives a folder.
std::string defaultProjectBase(const char* xdgDataHome, const char* home);

}  // namespace notecast::host
