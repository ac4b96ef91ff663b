#pragma once
// Real-time scheduling for the thread that runs the DMX dispatch in headless mode, so that a
// busy machine does not delay a frame's MIDI behind ordinary work.
//
// The priority is the lowest of SCHED_FIFO's 1..99: above every normal thread, below every audio
// thread. The MIDI output's own JACK thread in this process runs real time too (at 5 with JACK2's
// defaults) and must not wait for a frame's dispatch, or the frame's messages miss their cycle.
// It is only a request: without the right (RLIMIT_RTPRIO, CAP_SYS_NICE) the thread keeps its
// normal priority and the returned line says so.
//
// Contract: MUST NOT be used for a thread that paints windows (a busy real-time thread starves
// the desktop); threads the calling thread creates afterwards inherit the policy, so call it
// once the plug-in and its MIDI output have started.

#include <optional>
#include <string>

namespace notecast::host {

class RealTimePriority {
 public:
  static constexpr int kPriority = 1;

  // Asks SCHED_FIFO at kPriority for the calling thread. Nothing when granted; otherwise the
  // one notice line to tell (without the program's name).
  static std::optional<std::string> request();
};

}  // namespace notecast::host
