#pragma once
// The host's main event loop, ended by the host alone. end() leaves it at once, whatever runs:
// it asks no window to close (the plug-in's window refuses to close, which would make Qt give up
// a quit) and it ends every nested loop too (a message box's exec() returns), so a Quit or a stop
// signal takes one step. Qt's own ways out stay shut: the host turns off quitting when the last
// window closes, or a message box answered in headless mode would end the run.
//
// Contract: main thread; one run() per object. end() may come before run() (a stop signal while
// a message box is open during start-up): run() then returns at once.

#include <optional>

namespace notecast::host {

class HostLoop {
 public:
  HostLoop();

  // Runs the event loop until end(); the status end() was given first.
  int run();
  // Ends the loop, and every loop nested in it, with exit status `status`; later calls end the
  // loops running then but keep the first status.
  void end(int status);

  bool ended() const noexcept { return status_.has_value(); }

 private:
  std::optional<int> status_;
};

}  // namespace notecast::host
