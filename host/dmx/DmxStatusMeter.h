#pragma once
// The counts of a DMX input as the operator sees them: its state, frames taken, the frame rate
// over the last second, changes handed on and the last of them, frames folded. statusChanged()
// tells that something changed, at most once per kIntervalMs: the first change after a quiet
// spell at once, later ones at the next tick, and ticks go on while the rate still has to fall
// to 0 after the last frame.
//
// Contract: main thread; `folded`, asked whenever the status is read, MUST stay callable while
// the meter lives.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <utility>

#include "host/dmx/ChannelState.h"

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

class DmxStatusMeter : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIntervalMs = 250;

  // `folded`: the frames folded so far.
  DmxStatusMeter(QString source, std::function<qint64()> folded);

  // `frames` source frames were taken.
  void countFrames(qint64 frames);
  // One change was handed on; told with the next tick, not by itself.
  void countChange(const ChannelChange& change);
  // False when the state was `state` already.
  bool setState(const QString& state);

  DmxInputStatus status() const;

 signals:
  void statusChanged();

 private:
  void noteStatusChange();
  void tick();
  double framesInLastSecond() const;

  std::function<qint64()> folded_;
  DmxInputStatus status_;
  QElapsedTimer clock_;
  // (ms on clock_, frames) of the last second, one entry per millisecond
  std::deque<std::pair<qint64, qint64>> frameTimes_;
  QTimer timer_;
  DmxInputStatus lastReported_;  // as of the last statusChanged
};

}  // namespace notecast::host
