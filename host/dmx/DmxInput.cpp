#include "host/dmx/DmxInput.h"

#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "host/dmx/OlaDmxInput.h"
#include "host/dmx/PluginCallScope.h"
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

// What create() checks before it opens anything.
struct ParsedSource {
  enum class Kind { kOla, kStdin, kReplay } kind;
  std::vector<unsigned> universes;  // kOla
  QString path;                     // kReplay
};

ParsedSource parseSource(const QString& source) {
  if (source.startsWith(kOlaPrefix)) {
    return {ParsedSource::Kind::kOla, parseUniverses(source.mid(kOlaPrefix.size())), {}};
  }
  if (source == kStdin) return {ParsedSource::Kind::kStdin, {}, {}};
  if (source.startsWith(kReplayPrefix)) {
    const QString path = source.mid(kReplayPrefix.size());
    if (path.isEmpty()) reject(QStringLiteral("DMX source replay: names no file"));
    return {ParsedSource::Kind::kReplay, {}, path};
  }
  reject(QStringLiteral("unknown DMX source \"%1\": expected ola:UNIVERSE[,UNIVERSE...], stdin or "
                        "replay:FILE")
             .arg(source));
}

}  // namespace

void DmxInput::checkSource(const QString& source) {
  parseSource(source);
}

std::unique_ptr<DmxInput> DmxInput::create(const QString& source, bool loop) {
  ParsedSource parsed = parseSource(source);
  switch (parsed.kind) {
    case ParsedSource::Kind::kOla:
      return std::make_unique<OlaDmxInput>(std::move(parsed.universes));
    case ParsedSource::Kind::kStdin:
      return std::make_unique<StdinDmxInput>();
    case ParsedSource::Kind::kReplay:
      return std::make_unique<ReplayDmxInput>(ShowFile::open(parsed.path),
                                              QFileInfo(parsed.path).fileName(), loop);
  }
  return nullptr;
}

DmxInput::DmxInput(QString source, std::size_t universes, std::ostream& warnings)
    : warnings_(warnings), waiting_(kHeldFramesPerUniverse * std::max<std::size_t>(universes, 1)) {
  status_.source = std::move(source);
  status_.state = QStringLiteral("not started");
  clock_.start();
  statusTimer_.setSingleShot(true);
  statusTimer_.setInterval(kStatusIntervalMs);
  connect(&statusTimer_, &QTimer::timeout, this, &DmxInput::statusTick);
}

DmxInput::~DmxInput() = default;

void DmxInput::stop() {
  stopSource();
  sourceStopped_ = true;
}

DmxInputStatus DmxInput::status() const {
  DmxInputStatus now = status_;
  now.framesPerSecond = framesInLastSecond();
  now.folded = foldedSent_ + waiting_.folded();
  return now;
}

DmxFrame DmxInput::frameOf(unsigned universe, std::span<const std::uint8_t> values) {
  return DmxFrame{ChannelState::valuesOfFrame(universe, values), 1};
}

void DmxInput::takeFrame(unsigned universe, std::span<const std::uint8_t> values) {
  queueFrame(universe, values);
  sendWaiting();
}

void DmxInput::takeChannel(int channel, int value) {
  DmxFrame frame;
  frame.values.push_back({channel, value});
  enqueue(std::move(frame));
  sendWaiting();
}

// A frame's values go into the room of a frame sent before: a steady stream allocates nothing.
void DmxInput::queueFrame(unsigned universe, std::span<const std::uint8_t> values) {
  DmxFrame frame;
  if (!spareValues_.empty()) {
    frame.values = std::move(spareValues_.back());
    spareValues_.pop_back();
  }
  ChannelState::valuesOfFrame(universe, values, frame.values);
  enqueue(std::move(frame));
}

// Only the room of one universe's frame is kept: a folded backlog's may be far larger.
void DmxInput::recycle(std::vector<ChannelChange> values) {
  if (spareValues_.size() >= kSpareFrames ||
      values.capacity() > static_cast<std::size_t>(ChannelState::kSlotsPerUniverse))
    return;
  values.clear();
  spareValues_.push_back(std::move(values));
}

void DmxInput::queueFrame(DmxFrame frame) {
  enqueue(std::move(frame));
}

void DmxInput::sendQueuedFrames() {
  sendWaiting();
}

void DmxInput::noteUniverses(std::size_t universes) {
  const std::size_t limit = kHeldFramesPerUniverse * std::min(universes, kMaxHeldUniverses);
  if (limit > waiting_.limit()) waiting_.setLimit(limit);
}

void DmxInput::setState(const QString& state) {
  if (status_.state == state) return;
  status_.state = state;
  noteStatusChange();
}

void DmxInput::fail(const QString& reason) {
  setState(QStringLiteral("failed: %1").arg(reason));
  emit failed(reason);
}

// Counted as they come, before any change goes out: a slot of `changed` may read the status.
void DmxInput::enqueue(DmxFrame frame) {
  if (sourceStopped_) return;
  status_.frames += frame.sourceFrames;
  // One entry per millisecond: a fast source (standard input) keeps the window small.
  const qint64 now = clock_.elapsed();
  if (!frameTimes_.empty() && frameTimes_.back().first == now) {
    frameTimes_.back().second += frame.sourceFrames;
  } else {
    frameTimes_.emplace_back(now, frame.sourceFrames);
  }
  while (frameTimes_.front().first < frameTimes_.back().first - kRateWindowMs)
    frameTimes_.pop_front();
  waiting_.push(std::move(frame));
  noteStatusChange();
}

// A call made while `changed` is being emitted (from a nested event loop) only leaves its frames
// waiting; the outer call sends them after the ones before them. A plug-in call in progress
// holds everything back until it is over.
void DmxInput::sendWaiting() {
  if (sending_ || sourceStopped_) return;
  sending_ = true;
  while (!waiting_.empty() && !sourceStopped_) {
    if (PluginCallScope::inProgress()) {
      resumeAfterPluginCall();
      break;
    }
    DmxFrame frame = waiting_.pop();
    foldedSent_ += frame.sourceFrames - 1;
    foldedUntold_ += frame.sourceFrames - 1;
    // No nested call gets this far (sending_), so the room of the changes is kept across frames.
    std::vector<ChannelChange>& changes = changes_;
    channels_.applyValues(frame.values, changes);
    recycle(std::move(frame.values));
    if (!refusalTold_ && channels_.refusedUniverse() != 0) {
      refusalTold_ = true;
      warnings_ << "notecast-host: warning: DMX input: more than " << ChannelState::kMaxUniverses
                << " universes; universe " << channels_.refusedUniverse()
                << " and any further new ones are ignored\n";
    }
    status_.changes += static_cast<qint64>(changes.size());
    for (const ChannelChange& change : changes) {
      status_.lastChannel = change.channel;
      status_.lastValue = change.value;
      emit changed(change.channel, change.value);
    }
  }
  sending_ = false;
  if (waiting_.empty() && foldedUntold_ > 0) {
    const qint64 folded = foldedUntold_;
    foldedUntold_ = 0;
    emit framesFolded(folded);
  }
}

void DmxInput::resumeAfterPluginCall() {
  if (resumeScheduled_) return;
  resumeScheduled_ = true;
  PluginCallScope::whenIdle(this, [this] {
    resumeScheduled_ = false;
    sendWaiting();
  });
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
  qint64 frames = 0;
  for (const auto& [time, count] : frameTimes_) {
    if (time > since) frames += count;
  }
  return static_cast<double>(frames);
}

}  // namespace notecast::host
