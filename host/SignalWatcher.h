#pragma once
// Turns SIGINT, SIGTERM and SIGHUP into Qt signals on the main thread, so the host shuts down in
// order (Term, release, unload) instead of dying in the middle of a call. The handler only writes
// the signal's number into a pipe, the one thing a signal handler may safely do.
//
// The signals are caught from the first moment of the run (catchFromStart, before anything else
// in main): one that comes while the host starts (before any event loop) waits in the pipe and is
// told as soon as a watcher exists. A run that has no watcher (script mode, registration) gives
// them back to the system with releaseToSystem, which also acts on one that came meanwhile. The
// handler stays once a watcher is gone: a stop signal during the orderly shut-down changes nothing.
//
// Contract: at most one instance; create and use it on the main thread.

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace notecast::host {

class SignalWatcher : public QObject {
  Q_OBJECT

 public:
  // Catches the three signals into the pipe; call once, first thing in main.
  static void catchFromStart();
  // The system's own handling again; a signal caught meanwhile is raised again now.
  static void releaseToSystem();

  explicit SignalWatcher(QObject* parent = nullptr);
  ~SignalWatcher() override;

 signals:
  // SIGINT or SIGTERM.
  void stopRequested(int signalNumber);
  // SIGHUP.
  void reloadRequested();

 private:
  void drain();

  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace notecast::host
