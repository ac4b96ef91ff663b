#include "host/dmx/DmxInput.h"

#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "host/dmx/OlaDmxInput.h"
#include "host/dmx/ReplayDmxInput.h"
#include "host/dmx/StdinDmxInput.h"

namespace notecast::host {
namespace {

constexpr qint64 kRateWindowMs = 1000;  // frames per second counts the frames of this window
const QString kOlaPrefix = QStringLiteral("ola:");
const QString kReplayPrefix = QStringLiteral("replay:");
const QString kStdin = QStringLiteral("stdin");

[[noreturn]] void reject(const QString& reason) {
  throw std::invalid_argument(reason.toStdString());
}

std::vector<unsigned> parseUniverses(const QString& list) {
  std::vector<unsigned> universes;
  for (const QString& item : list.split(QLatin1Char(','))) {
    bool ok = false;
    const uint universe = item.toUInt(&ok);
    // toUInt accepts blanks and a sign around the digits; a universe is digits only.
    const bool digitsOnly = !item.isEmpty() && std::all_of(item.begin(), item.end(),
                                                           [](QChar c) { return c.isDigit(); });
    if (!ok || !digitsOnly || universe < 1 || universe > ChannelState::kMaxUniverse) {
      reject(QStringLiteral("DMX source ola: \"%1\" is not a universe 1..%2")
                 .arg(item)
                 .arg(ChannelState::kMaxUniverse));
    }
    if (std::find(universes.begin(), universes.end(), universe) != universes.end()) {
      reject(QStringLiteral("DMX source ola: universe %1 is given twice").arg(universe));
    }
    universes.push_back(universe);
  }
  return universes;
}

}  // namespace

std::unique_ptr<DmxInput> DmxInput::create(const QString& source, bool loop) {
  if (source.startsWith(kOlaPrefix)) {
    return std::make_unique<OlaDmxInput>(parseUniverses(source.mid(kOlaPrefix.size())));
  }
  if (source == kStdin) return std::make_unique<StdinDmxInput>();
  if (source.startsWith(kReplayPrefix)) {
    const QString path = source.mid(kReplayPrefix.size());
    if (path.isEmpty()) reject(QStringLiteral("DMX source replay: names no file"));
    return std::make_unique<ReplayDmxInput>(ShowFile::load(path), QFileInfo(path).fileName(), loop);
  }
  reject(QStringLiteral("unknown DMX source \"%1\": expected ola:UNIVERSE[,UNIVERSE...], stdin or "
                        "replay:FILE")
             .arg(source));
}

DmxInput::DmxInput(QString source) {
  status_.source = std::move(source);
  status_.state = QStringLiteral("not started");
  clock_.start();
  statusTimer_.setSingleShot(true);
  statusTimer_.setInterval(kStatusIntervalMs);
  connect(&statusTimer_, &QTimer::timeout, this, &DmxInput::statusTick);
}

DmxInput::~DmxInput() = default;

DmxInputStatus DmxInput::status() const {
  DmxInputStatus now = status_;
  now.framesPerSecond = framesInLastSecond();
  return now;
}

void DmxInput::takeFrame(unsigned universe, std::span<const std::uint8_t> values) {
  const std::vector<ChannelChange> changes = channels_.applyFrame(universe, values);
  count(static_cast<int>(changes.size()));
  send(changes);
  noteStatusChange();
}

void DmxInput::takeChannel(int channel, int value) {
  const std::optional<ChannelChange> change = channels_.applyChannel(channel, value);
  count(change ? 1 : 0);
  if (change) send({*change});
  noteStatusChange();
}

void DmxInput::setState(const QString& state) {
  if (status_.state == state) return;
  status_.state = state;
  noteStatusChange();
}

// Counted before the changes go out: a slot of `changed` may read the status.
void DmxInput::count(int changes) {
  ++status_.frames;
  status_.changes += changes;
  frameTimes_.push_back(clock_.elapsed());
  while (frameTimes_.front() < frameTimes_.back() - kRateWindowMs) frameTimes_.pop_front();
}

// A call made while `changed` is being emitted (from a nested event loop) only queues its
// changes; the outer call sends them after the ones before them.
void DmxInput::send(const std::vector<ChannelChange>& changes) {
  outbox_.insert(outbox_.end(), changes.begin(), changes.end());
  if (sending_) return;
  sending_ = true;
  while (!outbox_.empty()) {
    const ChannelChange change = outbox_.front();
    outbox_.pop_front();
    status_.lastChannel = change.channel;
    status_.lastValue = change.value;
    emit changed(change.channel, change.value);
  }
  sending_ = false;
}

// The first change after a quiet spell is told at once; later ones at the next tick.
void DmxInput::noteStatusChange() {
  if (statusTimer_.isActive()) return;
  lastReported_ = status();
  emit statusChanged();
  statusTimer_.start();
}

// Keeps ticking while the rate still has to fall to 0 after the last frame.
void DmxInput::statusTick() {
  const DmxInputStatus now = status();
  if (now != lastReported_) {
    lastReported_ = now;
    emit statusChanged();
    statusTimer_.start();
  } else if (now.framesPerSecond > 0) {
    statusTimer_.start();
  }
}

double DmxInput::framesInLastSecond() const {
  const qint64 since = clock_.elapsed() - kRateWindowMs;
  return static_cast<double>(std::count_if(frameTimes_.begin(), frameTimes_.end(),
                                           [since](qint64 time) { return time > since; }));
}

}  // namespace notecast::host
