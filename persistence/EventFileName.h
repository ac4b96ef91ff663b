#pragma once
// Where a host project's settings live: the project's base file name with the plug-in's suffix.
// The one place the suffix is spelled.

#include <string>
#include <string_view>

namespace notecast {

inline constexpr std::string_view kEventFileSuffix = ".Notecast";

// `projectBase` (the project's path without extension) + kEventFileSuffix; a relative base gives
// a path relative to the working folder.
inline std::string eventFilePath(std::string_view projectBase) {
  std::string path(projectBase);
  path += kEventFileSuffix;
  return path;
}

}  // namespace notecast
