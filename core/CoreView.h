#pragma once
// What the plug-in's core tells the window while the window has its controls: each call says
// which part of the core's state changed, and the window shows it from the core. No call writes
// anything back into the core. User-interface thread only.

#include <cstdint>

namespace notecast {

// Window states as the host and the event file number them.
enum WindowStateValue : std::int32_t { kNormal = 0, kMinimized = 1, kMaximized = 2 };

// Where the window is: its state and its outer frame's position in pixels.
struct WindowPlace {
  std::int32_t state = kNormal;
  int left = 0;
  int top = 0;
};

class CoreView {
 public:
  // The table was cleared with the rest of the project: the editing controls go back to their
  // empty texts, the entry flags' check boxes to unticked, "Show line" to the core's, both lists
  // to no rows.
  virtual void showCleared() = 0;
  // The entry list is rebuilt from the table, with the core's highlighted row.
  virtual void showEntries() = 0;
  // The program moved the highlight: the list highlights the core's row and the editing
  // controls show its entry, running no handler.
  virtual void showHighlight() = 0;
  // The output list's rows or its chosen row changed.
  virtual void showOutputs() = 0;
  // A new channel change: the status labels follow when the window is on screen.
  virtual void showLastChange() = 0;
  // The load read the window's place from the event file.
  virtual void showPlace(const WindowPlace& place) = 0;
  // Where the window is now.
  virtual WindowPlace place() const = 0;
  // The core unloaded: the window's controls go (the view is detached already).
  virtual void unloaded() = 0;

 protected:
  ~CoreView() = default;
};

}  // namespace notecast
