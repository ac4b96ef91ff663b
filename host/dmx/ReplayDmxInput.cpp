#include "host/dmx/ReplayDmxInput.h"

#include <algorithm>
#include <set>

namespace notecast::host {

namespace {

std::size_t universesOf(const ShowFile& show) {
  std::set<unsigned> universes;
  for (const ShowFrame& frame : show.frames()) universes.insert(frame.universe);
  return universes.size();
}

}  // namespace

ReplayDmxInput::ReplayDmxInput(ShowFile show, const QString& name, bool loop)
    : DmxInput(QStringLiteral("replay of %1").arg(name), universesOf(show)),
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
  if (running_ || show_.frames().empty()) return;
  running_ = true;
  next_ = 0;
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
  const std::vector<ShowFrame>& frames = show_.frames();
  const std::chrono::milliseconds now(clock_.elapsed());
  if (now - nextDue_ > kMaxCatchUp) nextDue_ = now;
  while (running_ && std::chrono::milliseconds(clock_.elapsed()) >= nextDue_) {
    const ShowFrame& frame = frames[next_];
    takeFrame(frame.universe, frame.values);
    if (!running_) return;  // stopped by a receiver of the frame's changes
    const bool last = next_ + 1 == frames.size();
    if (last && !loop_) {
      running_ = false;
      setState(QStringLiteral("ended"));
      emit finished();
      return;
    }
    nextDue_ += last && frame.delayAfter.count() == 0 ? kLoopPause : frame.delayAfter;
    next_ = last ? 0 : next_ + 1;
  }
  scheduleNext();
}

void ReplayDmxInput::scheduleNext() {
  if (!running_) return;
  const auto wait = nextDue_ - std::chrono::milliseconds(clock_.elapsed());
  timer_.start(std::max(wait, std::chrono::milliseconds(0)));
}

}  // namespace notecast::host
