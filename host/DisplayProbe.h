#pragma once
// Whether the windows of a run can reach a screen. Qt ends the process (status 134) when the
// display it is told of cannot be reached; the host asks first, so that it can run headless with
// one line saying why, or, where windows were asked for, end with that line.

#include <optional>
#include <string>

namespace notecast::host {

// Nothing when a window can be shown: the platform chosen with QT_QPA_PLATFORM (taken as it is),
// an X display that answers, or a Wayland display that answers where Qt has a platform for it
// (then chosen). Otherwise why not, e.g. "cannot reach the X display DISPLAY=:5". MUST run before
// the QApplication exists.
std::optional<std::string> unreachableDisplay();

}  // namespace notecast::host
