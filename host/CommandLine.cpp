#include "host/CommandLine.h"

#include <array>

#include "host/HostError.h"

namespace notecast::host {
namespace {

using TextOption = std::optional<std::string> HostOptions::*;

struct ValueOption {
  const char* name;
  TextOption field;
};

constexpr std::array<ValueOption, 4> kValueOptions{{
    {"--plugin", &HostOptions::pluginPath},
    {"--script", &HostOptions::scriptPath},
    {"--register", &HostOptions::registerPath},
    {"--unregister", &HostOptions::unregisterPath},
}};

constexpr const char* kProject = "--project";
constexpr const char* kShow = "--show";
constexpr const char* kHelp = "--help";

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
    if (option == kHelp) {
      options.help = true;
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
  if ((options.registerPath || options.unregisterPath) && given != 1) {
    throw HostError("--register and --unregister take no other option");
  }
  return options;
}

}  // namespace notecast::host
