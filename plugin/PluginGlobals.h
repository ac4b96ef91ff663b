#pragma once
// The plug-in's process-wide state, shared by every object of the plug-in: the host's helper
// reference (kept by Init) and the single configuration window.
//
// The window is created on first use and lives until the plug-in tears down, which happens when
// the last object of the library is released (ModuleLock's idle hook): the window is unloaded
// and destroyed, and the helper released. Only then may the host unload the library.
// User-interface thread only.

#include "abi/Variant.h"
#include "window/Configfrm.h"

namespace notecast {

class PluginGlobals {
 public:
  // The window instance, created (not loaded) on first use.
  static Configfrm& window();
  static bool hasWindow() noexcept;

  static void setHelper(Variant helper);
  static const Variant& helper() noexcept;

  // True once everything the plug-in holds has been given back.
  static bool isTornDown() noexcept;

 private:
  static void tearDown() noexcept;
};

}  // namespace notecast
