#pragma once
// The frames a DMX input has taken and not yet handed on, and the channel state they are applied
// to on the way out.
//
// Frames wait while the receivers cannot take a change: while one is being handed over (a
// receiver runs a nested event loop, a message box) and while the DeliveryGate is busy. No change
// is handed over inside either; the waiting frames follow in order once both are over. The wait
// is bounded (FrameQueue): `limit` frames wait as they came, older ones are folded, each channel
// keeping its newest value. When nothing holds the receivers up, every frame's changes go out at
// once, none dropped or merged.
//
// The channel state is bounded (ChannelState::kMaxUniverses); values of universes beyond it are
// ignored, and a warning says so once. The room of sent frames' values is kept for frames to
// come, so a steady stream allocates nothing.
//
// Contract: main thread. `owner` (the gate's context for waking the hold) and `warnings` MUST
// outlive the hold. After stop() nothing more is handed over.

#include <QObject>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iostream>
#include <span>
#include <vector>

#include "host/dmx/ChannelState.h"
#include "host/dmx/DeliveryGate.h"
#include "host/dmx/FrameQueue.h"

namespace notecast::host {

class FrameHold {
 public:
  struct Receivers {
    // One change, in channel order within a frame.
    std::function<void(const ChannelChange&)> changed;
    // `frames` were folded since the last time this was told; told once the frames that waited
    // have gone out.
    std::function<void(qint64 frames)> framesFolded;
  };

  FrameHold(QObject& owner, std::size_t limit, Receivers receivers, std::ostream& warnings);

  void setGate(DeliveryGate gate) { gate_ = std::move(gate); }

  // The values a frame of `universe` carries, in the room of a frame sent before.
  DmxFrame frameOf(unsigned universe, std::span<const std::uint8_t> values);
  // A frame that waits behind the others until send(); `frame` may stand for several.
  void push(DmxFrame frame);
  // Hands the waiting frames' changes over, as far as the receivers can take them now.
  void send();
  void stop() noexcept { stopped_ = true; }
  bool stopped() const noexcept { return stopped_; }

  // How many frames wait as they came before older ones are folded.
  std::size_t limit() const noexcept { return waiting_.limit(); }
  // Raises the limit to `limit`; a lower one changes nothing.
  void widen(std::size_t limit);
  // Frames folded so far, sent and waiting.
  qint64 folded() const noexcept { return foldedSent_ + waiting_.folded(); }

 private:
  void applyNextFrame();
  void recycle(std::vector<ChannelChange> values);
  void resumeWhenFree();

  QObject& owner_;
  Receivers receivers_;
  std::ostream& warnings_;
  DeliveryGate gate_;
  ChannelState channels_;
  bool refusalTold_ = false;
  FrameQueue waiting_;  // taken, not yet applied
  static constexpr std::size_t kSpareFrames = 4;
  std::vector<std::vector<ChannelChange>> spareValues_;  // room of sent frames, empty
  std::vector<ChannelChange> changes_;                   // of the frame being handed over
  std::size_t nextChange_ = 0;                           // in changes_
  bool sending_ = false;
  bool resumeScheduled_ = false;
  bool stopped_ = false;
  qint64 foldedSent_ = 0;    // folded frames among those applied
  qint64 foldedUntold_ = 0;  // of those, not yet told
};

}  // namespace notecast::host
