#include "host/session/PluginLocator.h"

#include <filesystem>
#include <system_error>

#include "abi/NotecastClasses.h"
#include "host/session/HostError.h"

namespace notecast::host {
namespace {

constexpr const char* kPathKey = "Path";
constexpr const char* kClsidKey = "CLSID";
constexpr const char* kOwnProgram = "/proc/self/exe";
constexpr const char* kInstalledBesideHost = "../lib/notecast/Notecast.so";

std::string valueOf(const ClassRegistration& registration, const char* key) {
  const auto found = registration.values.find(key);
  return found == registration.values.end() ? std::string() : found->second;
}

bool isFile(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_regular_file(path, error);
}

}  // namespace

PluginLocation locatePlugin(const std::optional<std::string>& pluginPath,
                            const ClassRegistry& registry, const std::string& installedPlugin) {
  if (pluginPath) return {*pluginPath, kClsidLumoPlugIn};

  const auto registration = registry.find(kProgIdLumoPlugIn);
  if (!registration) {
    if (isFile(installedPlugin)) return {installedPlugin, kClsidLumoPlugIn};
    throw HostError(std::string("no plug-in: ") + kProgIdLumoPlugIn + " is not registered in " +
                    registry.path() + " and none is installed beside the host" +
                    (installedPlugin.empty() ? std::string() : " (" + installedPlugin + ")") +
                    "; give --plugin PATH or run --register PATH first");
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

std::string installedPluginPath() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink(kOwnProgram, error);
  if (error) return {};
  return (program.parent_path() / kInstalledBesideHost).lexically_normal().string();
}

}  // namespace notecast::host
