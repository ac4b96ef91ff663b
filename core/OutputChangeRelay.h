#pragma once
// Brings the MIDI output control's change notifications to the user-interface thread. They
// arrive on any thread (the MIDI system's notification threads); each becomes a queued call of
// `onChange` on the thread that made the relay, at most one waiting at a time however many
// arrive. And while the owner asks for it (the chosen output or the MIDI system is missing, and
// a MIDI system that is not running announces nothing), a timer calls `onChange` once a second.
// Qt Core only: it runs in a host without widgets as in one with a window.
//
// Lifetime: made and destroyed on the user-interface thread; the control that holds notifier()
// is destroyed before the relay (a control never calls its notifier once destroyed). A queued
// call that comes after the relay went does nothing.

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

namespace notecast {

class OutputChangeRelay {
 public:
  static constexpr int kPollMilliseconds = 1000;

  explicit OutputChangeRelay(std::function<void()> onChange);
  ~OutputChangeRelay();
  OutputChangeRelay(const OutputChangeRelay&) = delete;
  OutputChangeRelay& operator=(const OutputChangeRelay&) = delete;

  // The wake-up for MidiOutputControl::setChangeNotifier: any thread, returns at once.
  std::function<void()> notifier() const;
  // Queues a call of `onChange`, as a notification does.
  void wake() const;
  // User-interface thread: polls once a second while on.
  void setPolling(bool on);
  bool polling() const { return timer_.isActive(); }

 private:
  struct Shared;

  QObject context_;  // the queued calls' receiver: they go with it
  std::shared_ptr<Shared> shared_;
  QTimer timer_;
};

}  // namespace notecast
