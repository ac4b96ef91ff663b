#pragma once
// The host's DMX input: one source (an OLA universe list, standard input, or the replay of an
// OLA recording) turned into channel changes for the plug-in.
//
// Channels: universe u's slot s (1..512) is channel (u - 1) * 512 + s, for every source. The
// input keeps the last value of every channel (starting at 0) and reports each change, in channel
// order within a frame, through `changed`, on the Qt main thread. Every source reads on the
// main thread (OLA's client through a socket notifier), so a frame takes no hop between threads.
//
// Frames wait while the receivers cannot take them (FrameHold): while `changed` is being emitted
// (a receiver runs a nested event loop, a message box) and while the owner's DeliveryGate says
// the receivers are busy (a call into the plug-in is in progress). `changed` is never emitted
// inside itself nor while the gate is busy; the waiting frames follow in order once the hold is
// over. The wait is bounded: about one second of frames, kHeldFramesPerUniverse per universe,
// waits as it came; older frames are folded, keeping each channel's newest value. The status
// (DmxStatusMeter) counts the folded frames, and framesFolded() tells them once the backlog is
// delivered. When nothing holds the receivers up, every frame's changes go out at once, none
// dropped or merged. The channel state is bounded (ChannelState::kMaxUniverses); values of
// universes beyond it are ignored, with one warning.
//
// Contract: create, connect, set the gate, start() on the main thread; every signal arrives on
// the main thread. start() once; stop() may be called any number of times (the destructor calls it
// too); after stop() no further frame is sent.

#include <QObject>
#include <QString>
#include <cstdint>
#include <iostream>
#include <memory>
#include <span>

#include "host/dmx/DeliveryGate.h"
#include "host/dmx/DmxStatusMeter.h"
#include "host/dmx/FrameHold.h"

namespace notecast::host {

class DmxInput : public QObject {
  Q_OBJECT

 public:
  // statusChanged comes at most once per this interval (plus once at the start of a burst).
  static constexpr int kStatusIntervalMs = DmxStatusMeter::kIntervalMs;
  // DMX refreshes a full universe at most about 44 times a second: this many frames per
  // universe are about one second of input.
  static constexpr std::size_t kHeldFramesPerUniverse = 44;
  // A source that learns its universes as it goes holds at most this many universes' second of
  // frames (about 11 MiB of full frames); more only fold sooner.
  static constexpr std::size_t kMaxHeldUniverses = 64;

  // `source`: "ola:1[,2...][@HOST[:PORT]]", "stdin" or "replay:FILE"; `loop` repeats a replay.
  // Throws std::invalid_argument with a readable reason for a malformed source, a universe out of
  // range, a daemon's host name without an IPv4 address (looked up here), or a show file that
  // cannot be read or parsed.
  static std::unique_ptr<DmxInput> create(const QString& source, bool loop);
  // Checks what create() checks of `source` without opening or looking up anything (no show
  // file is read, no host name resolved), and that a replay repeated with `loop` can be read
  // again from its start: a pipe or FIFO, a character device or a socket is refused (looked at
  // with stat, so a FIFO without a writer does not block).
  static void checkSource(const QString& source, bool loop);

  ~DmxInput() override;

  // Whether the receivers are busy, as the owner tells it; until it is given they never are.
  void setDeliveryGate(DeliveryGate gate) { hold_.setGate(std::move(gate)); }

  virtual void start() = 0;
  // Ends the source; frames still waiting are not sent any more.
  void stop();
  // The latest counts; cheap, may be called at any time on the main thread.
  DmxInputStatus status() const { return meter_.status(); }

 signals:
  void changed(int channel, int value);
  // Something in status() changed; throttled to kStatusIntervalMs.
  void statusChanged();
  // The state in status() became `state` ("connecting", "running", ...); once per change, never
  // throttled, for a log of the input's life.
  void stateChanged(const QString& state);
  // The input has ended for good (end of standard input, last frame of a replay without loop).
  void finished();
  // The input cannot go on (standard input could not be read): ended for good, as a failure.
  void failed(const QString& reason);
  // `frames` frames were folded since the last time this was told; sent when the frames that
  // waited have gone out.
  void framesFolded(qint64 frames);

 protected:
  // `universes`: how many universes the source carries, for the bound of the waiting frames.
  // Warnings go to `warnings`, which MUST outlive the input.
  DmxInput(QString source, std::size_t universes, std::ostream& warnings = std::cerr);

  virtual void stopSource() = 0;

  // One frame of `universe`: counted, and each channel it changes reported in ascending order.
  void takeFrame(unsigned universe, std::span<const std::uint8_t> values);
  // One channel's value as a frame of its own (standard input).
  void takeChannel(int channel, int value);
  // A frame that waits behind the others until sendQueuedFrames(): a source that MUST NOT be
  // re-entered while it reads (OLA's client) sends once its read is over. `frame` may stand for
  // several (a folded backlog).
  void queueFrame(unsigned universe, std::span<const std::uint8_t> values);
  void queueFrame(DmxFrame frame);
  void sendQueuedFrames();
  void setState(const QString& state);
  // The input cannot go on: the state says why, and failed() is emitted.
  void fail(const QString& reason);

  // How many frames wait as they came before older ones are folded.
  std::size_t heldFrameLimit() const noexcept { return hold_.limit(); }
  // The source has met `universes` universes so far (a replay learns them as it plays): the
  // bound of the waiting frames grows with them, up to kMaxHeldUniverses.
  void noteUniverses(std::size_t universes);
  // Where the input's warnings go.
  std::ostream& warnings() const noexcept { return warnings_; }
  // The values a frame of `universe` carries (none for a universe out of range).
  static DmxFrame frameOf(unsigned universe, std::span<const std::uint8_t> values);

 private:
  void enqueue(DmxFrame frame);

  std::ostream& warnings_;
  FrameHold hold_;
  DmxStatusMeter meter_;
};

}  // namespace notecast::host
