#pragma once
// "Something changed" between the threads that notice it (the MIDI system's notification
// threads, or the user-interface thread itself) and the user-interface thread that acts on it.
// raise() marks the change and calls the owner's wake-up; take() tells the user-interface thread
// whether anything was raised since it last asked.
//
// Shared (std::shared_ptr) by the output control and the watches whose callbacks raise it, so a
// callback that comes late never reaches a destroyed object. Once muted it never calls the
// wake-up again: the owner of the wake-up may be gone.

#include <atomic>
#include <functional>
#include <mutex>

namespace notecast {

class MidiChangeSignal {
 public:
  // Any thread. The wake-up MUST return at once; it is called with a lock held.
  void setNotifier(std::function<void()> notifier);
  // Any thread: marks the change and calls the wake-up, unless muted.
  void raise() noexcept;
  // User-interface thread: whether something was raised since the last take().
  bool take() noexcept { return changed_.exchange(false); }
  // Stops the wake-up for good; a call in progress has ended when it returns.
  void mute() noexcept;

 private:
  std::atomic<bool> changed_{false};
  std::mutex mutex_;  // held while the wake-up runs, so mute() waits for it
  std::function<void()> notifier_;
  bool muted_ = false;
};

}  // namespace notecast
