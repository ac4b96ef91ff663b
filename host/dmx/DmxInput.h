#pragma once
// The host's DMX input: one source (an OLA universe list, standard input, or the replay of an
// OLA recording) turned into channel changes for the plug-in.
//
// Channels: universe u's slot s (1..512) is channel (u - 1) * 512 + s, for every source. The
// input keeps the last value of every channel (starting at 0) and reports each change, in channel
// order within a frame, through `changed`, on the Qt main thread. Every source reads on the
// main thread (OLA's client through a socket notifier), so a frame takes no hop between threads.
//
// Frames wait while the receivers cannot take them: while `changed` is being emitted (a receiver
// runs a nested event loop, a message box) and while a call into the plug-in is in progress
// (PluginCallScope). `changed` is never emitted inside itself nor inside a plug-in call; the
// waiting frames follow in order once the hold is over. The wait is bounded (FrameQueue): about
// one second of frames, kHeldFramesPerUniverse per universe, waits as it came; older frames are
// folded, keeping each channel's newest value. The status counts the folded frames, and
// framesFolded() tells them once the backlog is delivered. When nothing holds the receivers up,
// every frame's changes go out at once, none dropped or merged.
//
// The channel state is bounded (ChannelState::kMaxUniverses); values of universes beyond it are
// ignored, and a warning says so once.
//
// Contract: create, connect, start() on the main thread; every signal arrives on the main thread.
// start() once; stop() may be called any number of times (the destructor calls it too); after
// stop() no further frame is sent.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <iostream>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "host/dmx/ChannelState.h"
#include "host/dmx/FrameQueue.h"

namespace notecast::host {

struct DmxInputStatus {
  QString source;  // "OLA universes 1,2", "standard input", "replay of demo.show"
  // "not started", "running", "ended", "stopped", "failed: REASON"; OLA also "connecting",
  // "connection lost, retrying", "no OLA daemon on 127.0.0.1:9010, retrying", "cannot register
  // universe N: ..."
  QString state;
  double framesPerSecond = 0;  // frames in the last second
  qint64 frames = 0;
  qint64 changes = 0;
  int lastChannel = 0;  // 0 before the first change
  int lastValue = 0;
  qint64 folded = 0;  // frames folded into later ones while the receivers were held up
  friend bool operator==(const DmxInputStatus&, const DmxInputStatus&) = default;
};

class DmxInput : public QObject {
  Q_OBJECT

 public:
  // statusChanged comes at most once per this interval (plus once at the start of a burst).
  static constexpr int kStatusIntervalMs = 250;
  // DMX refreshes a full universe at most about 44 times a second: this many frames per
  // universe are about one second of input.
  static constexpr std::size_t kHeldFramesPerUniverse = 44;
  // A source that learns its universes as it goes holds at most this many universes' second of
  // frames (about 11 MiB of full frames); more only fold sooner.
  static constexpr std::size_t kMaxHeldUniverses = 64;

  // `source`: "ola:1[,2...]", "stdin" or "replay:FILE"; `loop` repeats a replay. Throws
  // std::invalid_argument with a readable reason for a malformed source, a universe out of range,
  // or a show file that cannot be read or parsed.
  static std::unique_ptr<DmxInput> create(const QString& source, bool loop);
  // Checks what create() checks of `source` without opening anything (no show file is read).
  static void checkSource(const QString& source);

  ~DmxInput() override;

  virtual void start() = 0;
  // Ends the source; frames still waiting are not sent any more.
  void stop();
  // The latest counts; cheap, may be called at any time on the main thread.
  DmxInputStatus status() const;

 signals:
  void changed(int channel, int value);
  // Something in status() changed; throttled to kStatusIntervalMs.
  void statusChanged();
  // The input has ended for good (end of standard input, last frame of a replay without loop).
  void finished();
  // The input cannot go on (standard input could not be read): ended for good, as a failure.
  void failed(const QString& reason);
  // `frames` frames were folded since the last time this was told; sent when the frames that
  // waited have gone out.
  void framesFolded(qint64 frames);

 protected:
  // `universes`: how many universes the source carries, for the bound of the waiting frames.
  // Warnings go to `warnings`, which MUST outlive the input.
  DmxInput(QString source, std::size_t universes, std::ostream& warnings = std::cerr);

  virtual void stopSource() = 0;

  // One frame of `universe`: counted, and each channel it changes reported in ascending order.
  void takeFrame(unsigned universe, std::span<const std::uint8_t> values);
  // One channel's value as a frame of its own (standard input).
  void takeChannel(int channel, int value);
  // A frame that waits behind the others until sendQueuedFrames(): a source that MUST NOT be
  // re-entered while it reads (OLA's client) sends once its read is over. `frame` may stand for
  // several (a folded backlog).
  void queueFrame(unsigned universe, std::span<const std::uint8_t> values);
  void queueFrame(DmxFrame frame);
  void sendQueuedFrames();
  void setState(const QString& state);
  // The input cannot go on: the state says why, and failed() is emitted.
  void fail(const QString& reason);

  // How many frames wait as they came before older ones are folded.
  std::size_t heldFrameLimit() const noexcept { return waiting_.limit(); }
  // The source has met `universes` universes so far (a replay learns them as it plays): the
  // bound of the waiting frames grows with them, up to kMaxHeldUniverses.
  void noteUniverses(std::size_t universes);
  // Where the input's warnings go.
  std::ostream& warnings() const noexcept { return warnings_; }
  // The values a frame of `universe` carries (none for a universe out of range).
  static DmxFrame frameOf(unsigned universe, std::span<const std::uint8_t> values);

 private:
  void enqueue(DmxFrame frame);
  // Keeps the room of a sent frame's values for a frame to come.
  void recycle(std::vector<ChannelChange> values);
  void sendWaiting();
  void resumeAfterPluginCall();
  void noteStatusChange();
  void statusTick();
  double framesInLastSecond() const;

  std::ostream& warnings_;
  ChannelState channels_;
  bool refusalTold_ = false;
  FrameQueue waiting_;  // taken, not yet sent
  static constexpr std::size_t kSpareFrames = 4;
  std::vector<std::vector<ChannelChange>> spareValues_;  // room of sent frames, empty
  std::vector<ChannelChange> changes_;                   // the frame being sent's changes
  bool sending_ = false;
  bool resumeScheduled_ = false;
  bool sourceStopped_ = false;
  qint64 foldedSent_ = 0;    // folded frames among those sent
  qint64 foldedUntold_ = 0;  // of those, not yet told by framesFolded()
  DmxInputStatus status_;
  QElapsedTimer clock_;
  // (ms on clock_, frames) of the last second, one entry per millisecond
  std::deque<std::pair<qint64, qint64>> frameTimes_;
  QTimer statusTimer_;
  DmxInputStatus lastReported_;  // as of the last statusChanged
};

}  // namespace notecast::host
