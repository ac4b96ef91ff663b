#pragma once
// DMX input played from a recorded show (ShowFile) with its timing: each frame is due at the sum
// of the delays before it, counted from start(), so a late frame does not delay the rest. With
// `loop` the show starts over after its last frame; without it the input ends there
// (`finished`, once).
//
// Contract: main thread; needs a running event loop (frames are played from a timer).

#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstddef>

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

  // `name` is what the status shows as the source ("replay of NAME").
  ReplayDmxInput(ShowFile show, const QString& name, bool loop);
  ~ReplayDmxInput() override;

  void start() override;

 private:
  void stopSource() override;
  void playDue();
  void scheduleNext();

  ShowFile show_;
  bool loop_;
  QTimer timer_;
  QElapsedTimer clock_;
  std::size_t next_ = 0;                  // the frame to play next
  std::chrono::milliseconds nextDue_{0};  // when, on clock_
  bool running_ = false;
};

}  // namespace notecast::host
