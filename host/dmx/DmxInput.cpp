#include "host/dmx/DmxInput.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <stdexcept>
#include <utility>

#include "host/dmx/DmxSource.h"
#include "host/dmx/OlaDmxInput.h"
#include "host/dmx/ReplayDmxInput.h"
#include "host/dmx/StdinDmxInput.h"

namespace notecast::host {

void DmxInput::checkSource(const QString& source, bool loop) {
  const DmxSource parsed = DmxSource::parse(source);
  if (!loop || parsed.kind != DmxSource::Kind::kReplay) return;
  struct stat info {};
  // Only what cannot be read twice is refused here; a missing file or a folder is told when the
  // recording is opened.
  if (::stat(QFile::encodeName(parsed.path).constData(), &info) != 0) return;
  const char* kind = S_ISFIFO(info.st_mode)   ? "a pipe"
                     : S_ISCHR(info.st_mode)  ? "a character device"
                     : S_ISSOCK(info.st_mode) ? "a socket"
                                              : nullptr;
  if (!kind) return;
  throw std::invalid_argument(
      QStringLiteral("--loop reads the recording again from its start, but %1 is %2, which can be "
                     "read only once")
          .arg(parsed.path, QLatin1String(kind))
          .toStdString());
}

std::unique_ptr<DmxInput> DmxInput::create(const QString& source, bool loop) {
  DmxSource parsed = DmxSource::parse(source);
  switch (parsed.kind) {
    case DmxSource::Kind::kOla:
      return std::make_unique<OlaDmxInput>(std::move(parsed.universes), parsed.daemon);
    case DmxSource::Kind::kStdin:
      return std::make_unique<StdinDmxInput>();
    case DmxSource::Kind::kReplay:
      return std::make_unique<ReplayDmxInput>(ShowFile::open(parsed.path),
                                              QFileInfo(parsed.path).fileName(), loop);
  }
  return nullptr;
}

// The meter counts each change before it goes out: a slot of `changed` may read the status.
DmxInput::DmxInput(QString source, std::size_t universes, std::ostream& warnings)
    : warnings_(warnings),
      hold_(*this, kHeldFramesPerUniverse * std::max<std::size_t>(universes, 1),
            {[this](const ChannelChange& change) {
               meter_.countChange(change);
               emit changed(change.channel, change.value);
             },
             [this](qint64 frames) { emit framesFolded(frames); }},
            warnings),
      meter_(std::move(source), [this] { return hold_.folded(); }) {
  connect(&meter_, &DmxStatusMeter::statusChanged, this, &DmxInput::statusChanged);
}

DmxInput::~DmxInput() = default;

void DmxInput::stop() {
  stopSource();
  hold_.stop();
}

DmxFrame DmxInput::frameOf(unsigned universe, std::span<const std::uint8_t> values) {
  return DmxFrame{ChannelState::valuesOfFrame(universe, values), 1};
}

void DmxInput::takeFrame(unsigned universe, std::span<const std::uint8_t> values) {
  queueFrame(universe, values);
  hold_.send();
}

void DmxInput::takeChannel(int channel, int value) {
  DmxFrame frame;
  frame.values.push_back({channel, value});
  enqueue(std::move(frame));
  hold_.send();
}

void DmxInput::queueFrame(unsigned universe, std::span<const std::uint8_t> values) {
  enqueue(hold_.frameOf(universe, values));
}

void DmxInput::queueFrame(DmxFrame frame) {
  enqueue(std::move(frame));
}

void DmxInput::sendQueuedFrames() {
  hold_.send();
}

void DmxInput::noteUniverses(std::size_t universes) {
  hold_.widen(kHeldFramesPerUniverse * std::min(universes, kMaxHeldUniverses));
}

void DmxInput::setState(const QString& state) {
  if (meter_.setState(state)) emit stateChanged(state);
}

void DmxInput::fail(const QString& reason) {
  setState(QStringLiteral("failed: %1").arg(reason));
  emit failed(reason);
}

// Counted as they come, before any change goes out.
void DmxInput::enqueue(DmxFrame frame) {
  if (hold_.stopped()) return;
  const std::int64_t frames = frame.sourceFrames;
  hold_.push(std::move(frame));
  meter_.countFrames(frames);
}

}  // namespace notecast::host
