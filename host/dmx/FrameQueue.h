#pragma once
// Frames waiting for their receiver, in the order they came, with a bound. Beyond `limit` frames
// the two oldest are folded into one that carries each channel's newest value, so a source that
// outruns its receiver (a plug-in held up by a message box, a host stopped and continued) keeps
// at most `limit` frames, and the receiver, once free, gets the present rather than seconds of
// the past. Nothing but intermediate values is lost: every channel a folded frame carried still
// arrives with its newest value.
//
// Contract: not thread-safe; one owner.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "host/dmx/ChannelState.h"

namespace notecast::host {

struct DmxFrame {
  // The value of every channel the frame carries (not only the changed ones), in ascending
  // channel order.
  std::vector<ChannelChange> values;
  // How many frames of the source this one stands for: 1, more once frames were folded into it.
  std::int64_t sourceFrames = 1;
};

class FrameQueue {
 public:
  // `limit` >= 1 frames are kept as they came.
  explicit FrameQueue(std::size_t limit);

  // Appends `frame`; when more than `limit` frames wait, folds the two oldest.
  void push(DmxFrame frame);
  // The oldest frame; the queue MUST NOT be empty.
  DmxFrame pop();
  // Every waiting frame, oldest first; the queue is empty afterwards.
  std::deque<DmxFrame> takeAll();

  bool empty() const noexcept { return frames_.empty(); }
  std::size_t size() const noexcept { return frames_.size(); }
  std::size_t limit() const noexcept { return limit_; }
  // A new `limit` >= 1; a lower one takes effect at the next push.
  void setLimit(std::size_t limit) noexcept;
  // Source frames folded away among the waiting ones: their sourceFrames less one each.
  std::int64_t folded() const noexcept { return folded_; }

  // `newer`'s values over `older`'s, in channel order; stands for the frames of both.
  static DmxFrame fold(const DmxFrame& older, const DmxFrame& newer);

 private:
  std::size_t limit_;
  std::deque<DmxFrame> frames_;
  std::int64_t folded_ = 0;
};

}  // namespace notecast::host
