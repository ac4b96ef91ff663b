#pragma once
// Turns SIGINT and SIGTERM into a Qt signal on the main thread, so the host shuts down in order
// (Term, release, unload) instead of dying in the middle of a call. The handler only writes one
// byte into a pipe, the one thing a signal handler may safely do.
//
// Contract: at most one instance; create and use it on the main thread.

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace notecast::host {

class SignalWatcher : public QObject {
  Q_OBJECT

 public:
  explicit SignalWatcher(QObject* parent = nullptr);
  ~SignalWatcher() override;

 signals:
  void stopRequested(int signalNumber);

 private:
  void drain();

  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace notecast::host
