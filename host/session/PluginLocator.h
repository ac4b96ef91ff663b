#pragma once
// Where the host finds the plug-in: the library given on the command line, else the one recorded
// in the host's registry by the plug-in's DllRegisterServer.

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
// class. Throws HostError when nothing usable is registered.
PluginLocation locatePlugin(const std::optional<std::string>& pluginPath,
                            const ClassRegistry& registry);

}  // namespace notecast::host
