#include "host/dmx/DmxStatusMeter.h"

namespace notecast::host {
namespace {

constexpr qint64 kRateWindowMs = 1000;  // frames per second counts the frames of this window

}  // namespace

DmxStatusMeter::DmxStatusMeter(QString source, std::function<qint64()> folded)
    : folded_(std::move(folded)) {
  status_.source = std::move(source);
  status_.state = QStringLiteral("not started");
  clock_.start();
  timer_.setSingleShot(true);
  timer_.setInterval(kIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &DmxStatusMeter::tick);
}

void DmxStatusMeter::countFrames(qint64 frames) {
  status_.frames += frames;
  // One entry per millisecond: a fast source (standard input) keeps the window small.
  const qint64 now = clock_.elapsed();
  if (!frameTimes_.empty() && frameTimes_.back().first == now) {
    frameTimes_.back().second += frames;
  } else {
    frameTimes_.emplace_back(now, frames);
  }
  while (frameTimes_.front().first < frameTimes_.back().first - kRateWindowMs)
    frameTimes_.pop_front();
  noteStatusChange();
}

void DmxStatusMeter::countChange(const ChannelChange& change) {
  ++status_.changes;
  status_.lastChannel = change.channel;
  status_.lastValue = change.value;
}

bool DmxStatusMeter::setState(const QString& state) {
  if (status_.state == state) return false;
  status_.state = state;
  noteStatusChange();
  return true;
}

DmxInputStatus DmxStatusMeter::status() const {
  DmxInputStatus now = status_;
  now.framesPerSecond = framesInLastSecond();
  now.folded = folded_();
  return now;
}

void DmxStatusMeter::noteStatusChange() {
  if (timer_.isActive()) return;
  lastReported_ = status();
  emit statusChanged();
  timer_.start();
}

void DmxStatusMeter::tick() {
  const DmxInputStatus now = status();
  if (now != lastReported_) {
    lastReported_ = now;
    emit statusChanged();
    timer_.start();
  } else if (now.framesPerSecond > 0) {
    timer_.start();
  }
}

double DmxStatusMeter::framesInLastSecond() const {
  const qint64 since = clock_.elapsed() - kRateWindowMs;
  qint64 frames = 0;
  for (const auto& [time, count] : frameTimes_) {
    if (time > since) frames += count;
  }
  return static_cast<double>(frames);
}

}  // namespace notecast::host
