#include "host/dmx/ReplayDmxInput.h"

#include <algorithm>
#include <stdexcept>

namespace notecast::host {

ReplayDmxInput::ReplayDmxInput(ShowFile show, const QString& name, bool loop,
                               std::ostream& warnings)
    : DmxInput(QStringLiteral("replay of %1").arg(name), 1, warnings),
      show_(std::move(show)),
      loop_(loop) {
  timer_.setSingleShot(true);
  // The default coarse timer may be 5 % late, more than a show's 20-40 ms between frames allows.
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &ReplayDmxInput::playDue);
}

ReplayDmxInput::~ReplayDmxInput() {
  stop();
}

void ReplayDmxInput::start() {
  if (running_) return;
  running_ = true;
  next_ = readFrame(false);
  if (!next_) {
    running_ = false;
    return;
  }
  nextDue_ = std::chrono::milliseconds(0);
  clock_.start();
  setState(QStringLiteral("running"));
  scheduleNext();
}

void ReplayDmxInput::stopSource() {
  if (!running_) return;
  running_ = false;
  timer_.stop();
  setState(QStringLiteral("stopped"));
}

// Plays every frame that is due: several when the event loop was a little late (each one in
// full, none merged). After a long hold-up (a modal box) the show pauses instead, rather than
// rushing through all it missed.
void ReplayDmxInput::playDue() {
  const std::chrono::milliseconds now(clock_.elapsed());
  if (now - nextDue_ > kMaxCatchUp) nextDue_ = now;
  while (running_ && next_ && std::chrono::milliseconds(clock_.elapsed()) >= nextDue_) {
    const ShowFrame frame = std::move(*next_);
    next_.reset();
    noteUniverse(frame.universe);
    takeFrame(frame.universe, frame.values);
    if (!running_) return;  // stopped by a receiver of the frame's changes
    next_ = readFrame(false);
    if (!running_) return;  // the recording failed
    const bool last = !next_;
    if (last && !cutTold_ && !show_.cutShort().isEmpty()) {
      cutTold_ = true;
      warnings() << "notecast-host: warning: " << show_.cutShort().toStdString() << "\n";
    }
    if (last && !loop_) {
      running_ = false;
      setState(QStringLiteral("ended"));
      emit finished();
      return;
    }
    if (last) {
      next_ = readFrame(true);
      if (!running_) return;
    }
    nextDue_ += last && frame.delayAfter.count() == 0 ? kLoopPause : frame.delayAfter;
  }
  scheduleNext();
}

// The next frame of the show (from its start for a new round); a show that cannot be read on
// ends the input as a failure.
std::optional<ShowFrame> ReplayDmxInput::readFrame(bool fromStart) {
  try {
    if (fromStart) show_.rewind();
    return show_.next();
  } catch (const std::invalid_argument& error) {
    running_ = false;
    timer_.stop();
    fail(QString::fromStdString(error.what()));
    return std::nullopt;
  }
}

// The bound of the waiting frames follows the universes the show has shown so far.
void ReplayDmxInput::noteUniverse(unsigned universe) {
  if (universes_.size() >= kMaxHeldUniverses || !universes_.insert(universe).second) return;
  noteUniverses(universes_.size());
}

void ReplayDmxInput::scheduleNext() {
  if (!running_) return;
  const auto wait = nextDue_ - std::chrono::milliseconds(clock_.elapsed());
  timer_.start(std::max(wait, std::chrono::milliseconds(0)));
}

}  // namespace notecast::host
