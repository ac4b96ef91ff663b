#pragma once
// The host's per-user registry of in-process server classes: an INI file,
// $XDG_CONFIG_HOME/notecast-host/registry.ini (~/.config/... when the variable is unset).
//
//   [Notecast.clsLumoPlugIn]        one section per ProgID
//   CLSID={0ce956f1-...}
//   Path=/abs/path/Notecast.so
//   Version=0.08.0001
//   TypeLib=Notecast
//   HelpString=...
//
// Writes replace the file atomically (a new file beside it, then renamed over it), so a crash
// never leaves a half-written registry. Other sections are kept as they are.

#include <map>
#include <optional>
#include <string>

namespace notecast {

struct ClassRegistration {
  std::string progId;
  std::map<std::string, std::string> values;  // key -> value, e.g. "Path" -> "/x/Notecast.so"
};

class ClassRegistry {
 public:
  // The registry file of this user: honours XDG_CONFIG_HOME, then HOME.
  static std::string defaultPath();

  explicit ClassRegistry(std::string path = defaultPath());

  const std::string& path() const { return path_; }

  // Adds or replaces the section of registration.progId. Throws std::runtime_error with the
  // reason when the file cannot be written.
  void write(const ClassRegistration& registration) const;
  // Removes the section; removing what is not there is no error.
  void remove(const std::string& progId) const;
  // The section of progId (names matched ignoring case), or nothing.
  std::optional<ClassRegistration> find(const std::string& progId) const;

 private:
  std::string path_;
};

}  // namespace notecast
