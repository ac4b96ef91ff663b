#pragma once
// The one way into the plug-in: the host makes one plug-in call at a time. A call can run a nested
// event loop (a message box of the plug-in's), and whatever else wants the plug-in meanwhile (a
// DMX change, a window action, a script line, a status read) MUST NOT reach it until the
// outermost call is over. Every call site holds a Call while it calls:
//
//   const PluginGate::Call call(session.gate());
//   session.plugin().Enable(&answer);
//
// Work that has to wait asks whenFree() to run it afterwards; a read that may as well be left out
// (a status line) checks busy() and skips; an action of the operator's checks busy() and refuses.
//
// Contract: the user-interface thread only (unsynchronised). Calls nest: the gate is free again
// when the outermost one ends. A Call MUST NOT outlive its gate.

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

namespace notecast::host {

class PluginGate {
 public:
  // A call into the plug-in in progress while it lives.
  class Call {
   public:
    explicit Call(PluginGate& gate) noexcept;
    // The outermost call ending posts every waiter of whenFree() to the event loop.
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

   private:
    PluginGate& gate_;
  };

  PluginGate() = default;
  PluginGate(const PluginGate&) = delete;
  PluginGate& operator=(const PluginGate&) = delete;

  // True while any Call lives.
  bool busy() const noexcept { return depth_ > 0; }

  // Runs `waiter` from the event loop, never from inside this call: soon when the gate is free,
  // else once the outermost Call has ended. The waiter is dropped when `context` is destroyed
  // first. By the time it runs another call may have begun: it MUST check busy() and wait again
  // if so.
  void whenFree(QObject* context, std::function<void()> waiter);

 private:
  struct Waiter {
    QPointer<QObject> context;
    std::function<void()> run;
  };

  void leave();

  int depth_ = 0;
  std::vector<Waiter> waiters_;
};

}  // namespace notecast::host
