#include "host/dmx/FrameHold.h"

#include <utility>

namespace notecast::host {

FrameHold::FrameHold(QObject& owner, std::size_t limit, Receivers receivers, std::ostream& warnings)
    : owner_(owner), receivers_(std::move(receivers)), warnings_(warnings), waiting_(limit) {}

DmxFrame FrameHold::frameOf(unsigned universe, std::span<const std::uint8_t> values) {
  DmxFrame frame;
  if (!spareValues_.empty()) {
    frame.values = std::move(spareValues_.back());
    spareValues_.pop_back();
  }
  ChannelState::valuesOfFrame(universe, values, frame.values);
  return frame;
}

void FrameHold::push(DmxFrame frame) {
  if (!stopped_) waiting_.push(std::move(frame));
}

void FrameHold::widen(std::size_t limit) {
  if (limit > waiting_.limit()) waiting_.setLimit(limit);
}

// A call made while a change is being handed over (from a nested event loop) only leaves its
// frames waiting; the outer call sends them after the ones before them. A busy gate holds
// everything back, asked before every change, until it is free.
void FrameHold::send() {
  if (sending_ || stopped_) return;
  sending_ = true;
  while (!stopped_ && (nextChange_ < changes_.size() || !waiting_.empty())) {
    if (gate_.busy && gate_.busy()) {
      resumeWhenFree();
      break;
    }
    if (nextChange_ == changes_.size()) {
      applyNextFrame();
      continue;
    }
    const ChannelChange change = changes_[nextChange_++];
    receivers_.changed(change);
  }
  sending_ = false;
  if (waiting_.empty() && nextChange_ == changes_.size() && foldedUntold_ > 0) {
    const qint64 folded = foldedUntold_;
    foldedUntold_ = 0;
    receivers_.framesFolded(folded);
  }
}

// The changes go into the room of the last frame's: no nested call gets this far (sending_).
void FrameHold::applyNextFrame() {
  DmxFrame frame = waiting_.pop();
  foldedSent_ += frame.sourceFrames - 1;
  foldedUntold_ += frame.sourceFrames - 1;
  channels_.applyValues(frame.values, changes_);
  nextChange_ = 0;
  recycle(std::move(frame.values));
  if (!refusalTold_ && channels_.refusedUniverse() != 0) {
    refusalTold_ = true;
    warnings_ << "notecast-host: warning: DMX input: more than " << ChannelState::kMaxUniverses
              << " universes; universe " << channels_.refusedUniverse()
              << " and any further new ones are ignored\n";
  }
}

// Only the room of one universe's frame is kept: a folded backlog's may be far larger.
void FrameHold::recycle(std::vector<ChannelChange> values) {
  if (spareValues_.size() >= kSpareFrames ||
      values.capacity() > static_cast<std::size_t>(ChannelState::kSlotsPerUniverse))
    return;
  values.clear();
  spareValues_.push_back(std::move(values));
}

void FrameHold::resumeWhenFree() {
  if (resumeScheduled_) return;
  resumeScheduled_ = true;
  gate_.whenFree(&owner_, [this] {
    resumeScheduled_ = false;
    send();
  });
}

}  // namespace notecast::host
