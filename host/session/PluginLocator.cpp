#include "host/session/PluginLocator.h"

#include "abi/NotecastClasses.h"
#include "host/session/HostError.h"

namespace notecast::host {
namespace {

constexpr const char* kPathKey = "Path";
constexpr const char* kClsidKey = "CLSID";

std::string valueOf(const ClassRegistration& registration, const char* key) {
  const auto found = registration.values.find(key);
  return found == registration.values.end() ? std::string() : found->second;
}

}  // namespace

PluginLocation locatePlugin(const std::optional<std::string>& pluginPath,
                            const ClassRegistry& registry) {
  if (pluginPath) return {*pluginPath, kClsidLumoPlugIn};

  const auto registration = registry.find(kProgIdLumoPlugIn);
  if (!registration) {
    throw HostError(std::string("no plug-in: ") + kProgIdLumoPlugIn + " is not registered in " +
                    registry.path() + "; give --plugin PATH or run --register PATH first");
  }
  PluginLocation location{valueOf(*registration, kPathKey), {}};
  const std::string clsid = valueOf(*registration, kClsidKey);
  if (location.path.empty() || !parseGuid(clsid, &location.clsid)) {
    throw HostError(std::string("no plug-in: the registration of ") + kProgIdLumoPlugIn + " in " +
                    registry.path() + " lacks a valid " +
                    (location.path.empty() ? kPathKey : kClsidKey));
  }
  return location;
}

}  // namespace notecast::host
