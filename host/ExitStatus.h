#pragma once
// The host's exit statuses.

namespace notecast::host {

inline constexpr int kExitSuccess = 0;
// The plug-in could not be loaded, a script could not be read, or registration failed.
inline constexpr int kExitFailure = 1;
// The command line was not understood.
inline constexpr int kExitUsage = 2;

}  // namespace notecast::host
