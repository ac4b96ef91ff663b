#pragma once
// What a person sees of the window, as report lines: one line per control,
//   NAME KIND enabled|disabled X,Y,W,H VALUE
// in the window's own order (each frame before its controls), and after a drop-down or a list
// one line per row, NAME[i] "row text". VALUE is the quoted text of labels, text boxes, buttons
// and frames; 0 or 1 and the quoted caption of check boxes; "selected=K count=N" of drop-downs
// and lists; nothing (and no blank before it) for pictures and the MIDI control.
//
// Contract: user-interface thread only; reads the widgets, changes nothing.

#include <QWidget>
#include <string>
#include <vector>

namespace notecast::host {

std::vector<std::string> dumpControls(QWidget& window);

// Where the window is, as "unloaded" (null), or "hidden|shown left=L top=T state=S": L and T the
// outer frame's top left corner in twips, S the window state (0 normal, 1 minimised,
// 2 maximised).
std::string describeWindow(const QWidget* window);

}  // namespace notecast::host
