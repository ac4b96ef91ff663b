#include "host/dmx/FrameQueue.h"

#include <algorithm>
#include <utility>

namespace notecast::host {

FrameQueue::FrameQueue(std::size_t limit) : limit_(std::max<std::size_t>(limit, 1)) {}

void FrameQueue::setLimit(std::size_t limit) noexcept {
  limit_ = std::max<std::size_t>(limit, 1);
}

void FrameQueue::push(DmxFrame frame) {
  folded_ += frame.sourceFrames - 1;
  frames_.push_back(std::move(frame));
  while (frames_.size() > limit_) {
    DmxFrame merged = fold(frames_[0], frames_[1]);
    frames_.pop_front();
    frames_.front() = std::move(merged);
    ++folded_;
  }
}

DmxFrame FrameQueue::pop() {
  DmxFrame oldest = std::move(frames_.front());
  frames_.pop_front();
  folded_ -= oldest.sourceFrames - 1;
  return oldest;
}

std::deque<DmxFrame> FrameQueue::takeAll() {
  std::deque<DmxFrame> taken;
  taken.swap(frames_);
  folded_ = 0;
  return taken;
}

DmxFrame FrameQueue::fold(const DmxFrame& older, const DmxFrame& newer) {
  DmxFrame merged;
  merged.sourceFrames = older.sourceFrames + newer.sourceFrames;
  merged.values.reserve(std::max(older.values.size(), newer.values.size()));
  auto old = older.values.begin();
  auto now = newer.values.begin();
  while (old != older.values.end() || now != newer.values.end()) {
    if (now == newer.values.end() || (old != older.values.end() && old->channel < now->channel)) {
      merged.values.push_back(*old++);
      continue;
    }
    if (old != older.values.end() && old->channel == now->channel) ++old;  // the newer one wins
    merged.values.push_back(*now++);
  }
  return merged;
}

}  // namespace notecast::host
