#pragma once
// Marks a call of the host into the plug-in as in progress while the object lives. The host makes
// one plug-in call at a time: a call can run a nested event loop (a message box of the
// plug-in's), and whatever else wants to call the plug-in meanwhile (DMX changes, a script line,
// the window) has to wait until the outermost call is over. Every call site holds a scope:
//
//   PluginCallScope scope;
//   session.plugin().Enable(&answer);
//
// and work that must wait asks whenIdle() to be run afterwards.
//
// Contract: the user-interface thread only (the state is one per process, unsynchronised).

#include <QObject>
#include <functional>

namespace notecast::host {

class PluginCallScope {
 public:
  PluginCallScope() noexcept;
  // The outermost scope ending posts every waiter of whenIdle() to the event loop.
  ~PluginCallScope();
  PluginCallScope(const PluginCallScope&) = delete;
  PluginCallScope& operator=(const PluginCallScope&) = delete;

  // True while any scope lives.
  static bool inProgress() noexcept;

  // Runs `waiter` from the event loop, never from inside this call: soon when no call is in
  // progress, else once the outermost scope has ended. The waiter is dropped when `context` is
  // destroyed first. By the time it runs another call may be in progress: it should check
  // inProgress() and wait again if so.
  static void whenIdle(QObject* context, std::function<void()> waiter);
};

}  // namespace notecast::host
