#pragma once
// The host's DMX input: one source (an OLA universe list, standard input, or the replay of an
// OLA recording) turned into channel changes for the plug-in.
//
// Channels: universe u's slot s (1..512) is channel (u - 1) * 512 + s, for every source. The
// input keeps the last value of every channel (starting at 0) and reports each change, in channel
// order within a frame, through `changed`, on the Qt main thread. Sources that run threads of
// their own (OLA) post their frames to the main thread; no frame is dropped or merged.
// `changed` is never emitted inside itself: when a receiver runs a nested event loop and more
// frames come in meanwhile, their changes go out after the current frame's, in order.
//
// Contract: create, connect, start() on the main thread; every signal arrives on the main thread.
// start() once; stop() may be called any number of times (the destructor calls it too).

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <vector>

#include "host/dmx/ChannelState.h"

namespace notecast::host {

struct DmxInputStatus {
  QString source;  // "OLA universes 1,2", "standard input", "replay of demo.show"
  // "not started", "running", "ended", "stopped"; OLA also "connecting", "connection lost,
  // retrying", "no OLA daemon on 127.0.0.1:9010, retrying", "cannot register universe N: ..."
  QString state;
  double framesPerSecond = 0;  // frames in the last second
  qint64 frames = 0;
  qint64 changes = 0;
  int lastChannel = 0;  // 0 before the first change
  int lastValue = 0;
  friend bool operator==(const DmxInputStatus&, const DmxInputStatus&) = default;
};

class DmxInput : public QObject {
  Q_OBJECT

 public:
  // statusChanged comes at most once per this interval (plus once at the start of a burst).
  static constexpr int kStatusIntervalMs = 250;

  // `source`: "ola:1[,2...]", "stdin" or "replay:FILE"; `loop` repeats a replay. Throws
  // std::invalid_argument with a readable reason for a malformed source, a universe out of range,
  // or a show file that cannot be read or parsed.
  static std::unique_ptr<DmxInput> create(const QString& source, bool loop);

  ~DmxInput() override;

  virtual void start() = 0;
  virtual void stop() = 0;
  // The latest counts; cheap, may be called at any time on the main thread.
  DmxInputStatus status() const;

 signals:
  void changed(int channel, int value);
  // Something in status() changed; throttled to kStatusIntervalMs.
  void statusChanged();
  // The input has ended for good (end of standard input, last frame of a replay without loop).
  void finished();

 protected:
  explicit DmxInput(QString source);

  // One frame of `universe`: counted, and each channel it changes reported in ascending order.
  void takeFrame(unsigned universe, std::span<const std::uint8_t> values);
  // One channel's value as a frame of its own (standard input).
  void takeChannel(int channel, int value);
  void setState(const QString& state);

 private:
  void count(int changes);
  void send(const std::vector<ChannelChange>& changes);
  void noteStatusChange();
  void statusTick();
  double framesInLastSecond() const;

  ChannelState channels_;
  std::deque<ChannelChange> outbox_;  // taken, not yet emitted
  bool sending_ = false;
  DmxInputStatus status_;
  QElapsedTimer clock_;
  std::deque<qint64> frameTimes_;  // ms on clock_, the last second's frames only
  QTimer statusTimer_;
  DmxInputStatus lastReported_;  // as of the last statusChanged
};

}  // namespace notecast::host
