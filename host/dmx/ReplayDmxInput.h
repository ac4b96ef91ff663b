#pragma once
// DMX input played from a recorded show (ShowFile) with its timing: each frame is due at the sum
// of the delays before it, counted from start(), so a late frame does not delay the rest. With
// `loop` the show starts over after its last frame; without it the input ends there
// (`finished`, once).
//
// The show is read as it plays, one frame ahead, and a loop reads it again from its start: memory
// stays flat however long the recording. A malformed line met on the way ends the input as a
// failure (`failed`) after the frames before it; a last frame cut short gets one warning.
//
// Contract: main thread; needs a running event loop (frames are played from a timer).

#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <iostream>
#include <optional>
#include <set>

#include "host/dmx/DmxInput.h"
#include "host/dmx/ShowFile.h"

namespace notecast::host {

class ReplayDmxInput : public DmxInput {
  Q_OBJECT

 public:
  // The file records no pause after its last frame; a repetition waits this long, one frame
  // time at DMX's usual 40 frames per second, rather than running as fast as the loop can.
  static constexpr std::chrono::milliseconds kLoopPause{25};

  // Frames later than this are not caught up on: the show goes on from the current frame.
  static constexpr std::chrono::milliseconds kMaxCatchUp{250};

  // `name` is what the status shows as the source ("replay of NAME"). Warnings go to
  // `warnings`, which MUST outlive the input.
  ReplayDmxInput(ShowFile show, const QString& name, bool loop, std::ostream& warnings = std::cerr);
  ~ReplayDmxInput() override;

  void start() override;

 private:
  void stopSource() override;
  void playDue();
  void scheduleNext();
  std::optional<ShowFrame> readFrame(bool fromStart);
  void noteUniverse(unsigned universe);

  ShowFile show_;
  bool loop_;
  QTimer timer_;
  QElapsedTimer clock_;
  std::optional<ShowFrame> next_;  // the frame to play next
  std::set<unsigned> universes_;   // met so far, up to kMaxHeldUniverses
  bool cutTold_ = false;
  std::chrono::milliseconds nextDue_{0};  // when, on clock_
  bool running_ = false;
};

}  // namespace notecast::host
