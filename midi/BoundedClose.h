#pragma once
// Closing a MIDI system's client in bounded time. libjack's jack_client_close can block for
// good: it cancels the client's notification thread asynchronously, and a thread cancelled while
// it holds one of libjack's process-wide locks leaves that lock held, on which the close then
// waits. The plug-in must still unload and the host still exit, so each close runs on a helper
// thread and is waited for at most a deadline. A close past its deadline is left behind: one
// line on standard error says so, the code it runs stays loaded (the plug-in's library is never
// unloaded after that), and JACK is not used again in this process, since libjack's open and
// close wait on a lock the stuck close may hold.
// User-interface thread.

#include <chrono>
#include <functional>
#include <string>

namespace notecast {

class BoundedClose {
 public:
  static constexpr std::chrono::milliseconds kDeadline{3000};

  // Runs `close` on a helper thread (in place when no thread can be made); true when it ended
  // within `deadline`. What `close` holds goes with it, also when it is left behind. Once a
  // close was left behind, later ones are not run (they would wait on the same lock): what they
  // hold is kept for good, and they answer false.
  static bool run(const std::string& what, std::function<void()> close,
                  std::chrono::milliseconds deadline = kDeadline) noexcept;
  // Whether a close was left behind in this process.
  static bool leftBehind() noexcept;
};

}  // namespace notecast
