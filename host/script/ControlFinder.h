#pragma once
// How the host finds the plug-in's window and its controls: through Qt alone, by the names of
// abi/WindowControls.h. The host links none of the window's code, so it knows the window only as
// any tool looking at widgets would.
//
// Contract: user-interface thread only.

#include <QString>
#include <QWidget>
#include <string_view>
#include <vector>

#include "abi/WindowControls.h"

namespace notecast::host {

// The window among the top-level widgets; null while it is not loaded.
QWidget* findConfigWindow();

// The control's kind ("label", "text", ...); empty for a widget that is no control.
QString controlKind(const QWidget& widget);

// The window's controls in the order they were created, which is the order of the window's
// tables: each frame comes before its own controls.
std::vector<QWidget*> controlsInOrder(QWidget& window);

// The control named `name`; null when the window has none.
QWidget* findControl(QWidget& window, std::string_view name);

}  // namespace notecast::host
