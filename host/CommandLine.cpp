#include "host/CommandLine.h"

#include <array>
#include <stdexcept>

#include "host/dmx/DmxInput.h"
#include "host/session/HostError.h"

namespace notecast::host {
namespace {

using TextOption = std::optional<std::string> HostOptions::*;

struct ValueOption {
  const char* name;
  TextOption field;
};

constexpr std::array<ValueOption, 5> kValueOptions{{
    {"--plugin", &HostOptions::pluginPath},
    {"--dmx", &HostOptions::dmxSource},
    {"--script", &HostOptions::scriptPath},
    {"--register", &HostOptions::registerPath},
    {"--unregister", &HostOptions::unregisterPath},
}};

constexpr const char* kProject = "--project";
constexpr const char* kShow = "--show";
constexpr const char* kHelpOption = "--help";
constexpr const char* kShortHelpOption = "-h";
constexpr const char* kLoop = "--loop";
constexpr const char* kHeadless = "--headless";

}  // namespace

HostOptions parseCommandLine(const std::vector<std::string>& arguments) {
  HostOptions options;
  std::optional<std::string> project;
  std::size_t given = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i, ++given) {
    const std::string& option = arguments[i];
    if (option == kShow) {
      options.show = true;
      continue;
    }
    if (option == kHelpOption || option == kShortHelpOption) {
      options.help = true;
      continue;
    }
    if (option == kLoop || option == kHeadless) {
      (option == kLoop ? options.loop : options.headless) = true;
      continue;
    }
    std::optional<std::string>* target = option == kProject ? &project : nullptr;
    for (const auto& candidate : kValueOptions) {
      if (option == candidate.name) target = &(options.*candidate.field);
    }
    if (!target) throw HostError("unknown option " + option);
    if (i + 1 >= arguments.size()) throw HostError(option + " needs a value");
    if (*target) throw HostError(option + " given twice");
    *target = arguments[++i];
  }
  options.projectBase = project.value_or(std::string());
  if (options.help) return options;  // whatever else was given, the help comes first
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
  if (options.loop && !(options.dmxSource && options.dmxSource->rfind("replay:", 0) == 0)) {
    throw HostError("--loop repeats a replay: it needs --dmx replay:FILE");
  }
  if (options.dmxSource) {
    try {
      DmxInput::checkSource(QString::fromStdString(*options.dmxSource));
    } catch (const std::invalid_argument& error) {
      throw HostError("--dmx " + *options.dmxSource + ": " + error.what());
    }
  }
  return options;
}

}  // namespace notecast::host
