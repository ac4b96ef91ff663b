#pragma once
// The plug-in's process-wide state, shared by every object of the plug-in: the host's helper
// reference (kept by Init), the core that holds the plug-in's state and work, the window the
// host reaches, and the configuration window (made when the host asks for it, and with each load
// of the core where windows can be shown).
//
// They are created on first use and live until the plug-in tears down, which happens when the
// last object of the library is released (ModuleLock's idle hook): the core is unloaded and
// everything destroyed, and the helper released. Only then may the host unload the library.
// User-interface thread only.

#include "abi/Variant.h"
#include "core/PluginCore.h"
#include "plugin/HostWindow.h"
#include "window/Configfrm.h"

namespace notecast {

class PluginGlobals {
 public:
  // The core, created (not loaded) on first use.
  static PluginCore& core();
  // The window the host reaches (module information's Window), created on first use.
  static HostWindow& hostWindow();
  // The configuration window, created (without controls) on first use.
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
