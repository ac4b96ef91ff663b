#include "host/CommandLine.h"

#include <cstdlib>

#include <array>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "abi/IClientName.h"
#include "host/dmx/DmxInput.h"
#include "host/session/HostError.h"
#include "host/web/WebAddress.h"

namespace notecast::host {
namespace {

using TextOption = std::optional<std::string> HostOptions::*;
using FlagOption = bool HostOptions::*;

struct ValueOption {
  const char* name;
  TextOption field;
};

struct Flag {
  const char* name;
  FlagOption field;
};

// --project is read into one of these too and moved to projectBase at the end.
constexpr std::array<ValueOption, 9> kValueOptions{{
    {"--plugin", &HostOptions::pluginPath},
    {"--dmx", &HostOptions::dmxSource},
    {"--script", &HostOptions::scriptPath},
    {"--midi-out", &HostOptions::midiOut},
    {"--name", &HostOptions::clientName},
    {"--register", &HostOptions::registerPath},
    {"--unregister", &HostOptions::unregisterPath},
    {"--web", &HostOptions::web},
    {"--web-token-file", &HostOptions::webTokenFile},
}};

constexpr std::array<Flag, 10> kFlags{{
    {"--show", &HostOptions::show},
    {"--help", &HostOptions::help},
    {"-h", &HostOptions::help},
    {"--version", &HostOptions::version},
    {"--loop", &HostOptions::loop},
    {"--headless", &HostOptions::headless},
    {"--quiet", &HostOptions::quiet},
    {"--monitor", &HostOptions::monitor},
    {"--list-outputs", &HostOptions::listOutputs},
    {"--keep-notes", &HostOptions::keepNotes},
}};

constexpr const char* kProject = "--project";
constexpr const char* kConnect = "--connect";
constexpr const char* kReleaseAfter = "--release-after";
constexpr double kMaxReleaseAfterSeconds = 86400;
constexpr const char* kProjectUnderDataHome = "/notecast/default";
constexpr const char* kDataHomeUnderHome = "/.local/share";

// One argument as written: "--name", or "--name=VALUE" with its value.
struct Written {
  std::string name;
  std::optional<std::string> value;
};

Written splitArgument(const std::string& argument) {
  const std::size_t equals = argument.find('=');
  if (argument.rfind("--", 0) != 0 || equals == std::string::npos) return {argument, {}};
  return {argument.substr(0, equals), argument.substr(equals + 1)};
}

// What each option's value is, for the line that says one is missing.
std::string valueNoun(const std::string& option) {
  constexpr std::array<std::pair<std::string_view, std::string_view>, 12> kNouns{{
      {"--plugin", "a library path"},
      {"--project", "a project base"},
      {"--dmx", "a DMX source"},
      {"--script", "a script file"},
      {"--midi-out", "an output name"},
      {"--connect", "a port name"},
      {"--name", "a MIDI client name"},
      {"--register", "a library path"},
      {"--unregister", "a library path"},
      {"--release-after", "a number of seconds"},
      {"--web", "[ADDRESS:]PORT"},
      {"--web-token-file", "a file"},
  }};
  for (const auto& [name, noun] : kNouns) {
    if (option == name) return std::string(noun);
  }
  return "a value";
}

// The value of the option at `i`: written after '=', else the next argument (and `i` moves on).
// An empty value is refused either way: `--project "$SHOW"` with SHOW unset must not run the
// default project, nor `--midi-out ""` drop the event file's output without a word. A next
// argument that is an option is no value (`--connect --headless` forgot the port): one that
// starts with "--" is taken only after '='.
std::string takeValue(const Written& written, const std::vector<std::string>& arguments,
                      std::size_t& i) {
  if (!written.value && i + 1 >= arguments.size()) {
    throw HostError(written.name + " needs " + valueNoun(written.name));
  }
  if (!written.value && arguments[i + 1].rfind("--", 0) == 0) {
    throw HostError(written.name + " needs " + valueNoun(written.name) + ", not " +
                    arguments[i + 1] + " (a value that starts with -- is written " + written.name +
                    "=" + arguments[i + 1] + ")");
  }
  std::string value = written.value ? *written.value : arguments[++i];
  if (value.empty()) throw HostError(written.name + " needs a value, not \"\"");
  return value;
}

// A number of seconds above 0 and at most a day, as written in C notation ("2", "0.5").
double secondsOf(const std::string& option, const std::string& text) {
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || !(seconds > 0 && seconds <= kMaxReleaseAfterSeconds))
    throw HostError(option + " takes a number of seconds above 0 and at most 86400, not \"" + text +
                    "\"");
  return seconds;
}

bool setFlag(const Written& written, HostOptions& options) {
  for (const auto& flag : kFlags) {
    if (written.name != flag.name) continue;
    if (written.value) throw HostError(written.name + " takes no value");
    options.*flag.field = true;
    return true;
  }
  return false;
}

void checkWeb(const HostOptions& options) {
  if (options.web && options.scriptPath)
    throw HostError("--web shows the desktop and headless modes' bridge; not with --script");
  if (options.webTokenFile && !options.web)
    throw HostError("--web-token-file gives the web page's secret: it needs --web");
  if (!options.web) return;
  try {
    parseWebAddress(QString::fromStdString(*options.web));
  } catch (const std::invalid_argument& error) {
    throw HostError("--web " + *options.web + ": " + error.what());
  }
}

void checkCombinations(const HostOptions& options, std::size_t given) {
  if ((options.registerPath || options.unregisterPath) && given != 1) {
    throw HostError("--register and --unregister take no other option");
  }
  if (options.scriptPath && options.dmxSource) {
    throw HostError(
        "--dmx feeds the desktop and headless modes; a script sends DMX with dmx lines");
  }
  if (options.scriptPath && options.headless) {
    throw HostError("--script and --headless are two different modes: choose one");
  }
  if (options.listOutputs &&
      given != 1U + (options.pluginPath ? 1U : 0U) + (options.clientName ? 1U : 0U)) {
    throw HostError("--list-outputs takes no other option than --plugin and --name");
  }
  if (options.clientName && options.scriptPath) {
    throw HostError(
        "--name names the MIDI client of the desktop and headless modes; not with --script");
  }
  if (options.clientName) {
    if (const std::string problem = clientNameProblem(*options.clientName); !problem.empty())
      throw HostError("--name " + *options.clientName + ": " + problem);
  }
  if (options.monitor && options.scriptPath) {
    throw HostError("--monitor shows the desktop and headless modes' messages; not with --script");
  }
  if (options.scriptPath && (options.keepNotes || options.releaseAfter)) {
    throw HostError(
        "--keep-notes and --release-after are for the desktop and headless modes; a script "
        "releases nothing it does not ask for");
  }
  checkWeb(options);
  if (options.keepNotes && options.releaseAfter) {
    throw HostError("--keep-notes and --release-after contradict each other: choose one");
  }
  if (options.loop && !(options.dmxSource && options.dmxSource->rfind("replay:", 0) == 0)) {
    throw HostError("--loop repeats a replay: it needs --dmx replay:FILE");
  }
  if (options.dmxSource) {
    try {
      DmxInput::checkSource(QString::fromStdString(*options.dmxSource), options.loop);
    } catch (const std::invalid_argument& error) {
      throw HostError("--dmx " + *options.dmxSource + ": " + error.what());
    }
  }
}

}  // namespace

std::string versionLine() {
  return std::string("notecast-host ") + NOTECAST_VERSION;
}

HostOptions parseCommandLine(const std::vector<std::string>& arguments) {
  HostOptions options;
  std::optional<std::string> project;
  std::size_t given = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i, ++given) {
    const Written written = splitArgument(arguments[i]);
    if (setFlag(written, options)) continue;
    if (written.name == kConnect) {
      options.connectPorts.push_back(takeValue(written, arguments, i));
      continue;
    }
    if (written.name == kReleaseAfter) {
      if (options.releaseAfter) throw HostError(written.name + " given twice");
      options.releaseAfter = secondsOf(written.name, takeValue(written, arguments, i));
      continue;
    }
    std::optional<std::string>* target = written.name == kProject ? &project : nullptr;
    for (const auto& candidate : kValueOptions) {
      if (written.name == candidate.name) target = &(options.*candidate.field);
    }
    if (!target) throw HostError("unknown option " + written.name);
    std::string value = takeValue(written, arguments, i);
    if (*target) throw HostError(written.name + " given twice");
    *target = std::move(value);
  }
  options.projectBase = project.value_or(std::string());
  // Whatever else was given, the help comes first, then the version.
  if (options.help || options.version) return options;
  checkCombinations(options, given);
  return options;
}

std::string defaultProjectBase(const char* xdgDataHome, const char* home) {
  if (xdgDataHome && xdgDataHome[0] == '/') return xdgDataHome + std::string(kProjectUnderDataHome);
  if (home && home[0] != '\0') {
    return home + std::string(kDataHomeUnderHome) + kProjectUnderDataHome;
  }
  throw HostError(
      "no project given, and neither XDG_DATA_HOME nor HOME names a folder to keep the default "
      "one in; give --project BASE");
}

}  // namespace notecast::host
