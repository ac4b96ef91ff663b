#pragma once
// Closing a MIDI system's client in bounded time. libjack's jack_client_close can block: on a
// server that stopped running (SIGSTOP, a wedged driver) until it runs again, and for good when
// it cancels the client's notification thread while that thread holds one of libjack's
// process-wide locks. The plug-in must still unload and the host still exit, so each close runs
// on a helper thread and is waited for at most a deadline. A close past its deadline is left
// behind: one line on standard error says so, and the code it runs stays loaded (the plug-in's
// library is never unloaded after that).
//
// Closes run one at a time, in the order they were asked for: a close asked for while one is
// left behind waits for it (libjack's open and close wait on the lock it may hold), and so is
// left behind too when its own deadline passes. JACK is not used while any close is left
// behind; once they all have ended (a stopped server that runs again), it may be used again.
// User-interface thread.

#include <chrono>
#include <functional>
#include <string>

namespace notecast {

class BoundedClose {
 public:
  static constexpr std::chrono::milliseconds kDeadline{3000};

  // Runs `close` on a helper thread (in place when no thread can be made), after every close
  // asked for before; true when it ended within `deadline`. What `close` holds goes with it,
  // also when it is left behind.
  static bool run(const std::string& what, std::function<void()> close,
                  std::chrono::milliseconds deadline = kDeadline) noexcept;
  // Whether a close that was left behind has not ended yet.
  static bool leftBehind() noexcept;
};

}  // namespace notecast
