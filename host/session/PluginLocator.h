#pragma once
// Where the host finds the plug-in: the library given on the command line, else the one recorded
// in the host's registry by the plug-in's DllRegisterServer, else the one installed beside the
// host (an installed package needs no registration).

#include <optional>
#include <string>

#include "abi/Guid.h"
#include "os/ClassRegistry.h"

namespace notecast::host {

struct PluginLocation {
  std::string path;
  Clsid clsid;
};

// With `pluginPath`, that library and the plug-in's own class; else the registered library and
// class; else, when nothing is registered and `installedPlugin` names an existing file, that
// library and the plug-in's own class. Throws HostError when none of them is usable.
PluginLocation locatePlugin(const std::optional<std::string>& pluginPath,
                            const ClassRegistry& registry, const std::string& installedPlugin);

// The plug-in as a package installs it: ../lib/notecast/Notecast.so from the folder of the
// running program. Empty when the program's own path cannot be read.
std::string installedPluginPath();

}  // namespace notecast::host
