#pragma once
// The plug-in's core, its window and the host's window over both, wired as the plug-in wires
// them, for the window's tests.

#include "core/BoxRequests.h"
#include "core/PluginCore.h"
#include "plugin/HostWindow.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"
#include "window/MessageBox.h"
#include "window/modMIDIHelper.h"

namespace notecast {

struct WindowUnderTest {
  PluginCore core;
  Configfrm view{core};
  HostWindow host{core, [this]() -> Configfrm& { return view; }, [] { return true; }};

  // The plug-in shows its boxes as real modal boxes while the host gives no answerer.
  WindowUnderTest() { BoxRequests::setWindowBox(&showMessageBox); }
  ~WindowUnderTest() {
    core.unload();
    BoxRequests::setWindowBox({});
  }

  // The program moves the list's highlight to `row` (-1: none), as a rebuild or a dispatch
  // does, without showing the entry.
  void highlight(int row) {
    core.setHighlightedRow(row);
    selectListRow(view.form().lstView, row);
  }
};

}  // namespace notecast
