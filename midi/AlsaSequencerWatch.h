#pragma once
// A sequencer client of the control's own that watches the ALSA sequencer: its one port is
// subscribed to the sequencer's System:Announce port (client 0, port 1), which tells of every
// client and port that starts, ends or changes. A thread of its own waits for those events and
// does no more than raise the change signal. It waits in poll() on the sequencer and on a pipe
// that the destructor writes to, so closing never waits for an event that will not come.
// The port cannot be written to by others (no subscription, not exported): it is never listed
// as a MIDI output.
// User-interface thread (construction and destruction).

#include <memory>
#include <thread>

#include "midi/MidiChangeSignal.h"

namespace notecast {

class AlsaSequencerWatch {
 public:
  static constexpr const char* kClientName = "Notecast-watch";

  // Watches the sequencer, raising `changes` on every announcement; null when the sequencer
  // cannot be opened or refuses the subscription.
  static std::unique_ptr<AlsaSequencerWatch> connect(std::shared_ptr<MidiChangeSignal> changes);

  AlsaSequencerWatch(const AlsaSequencerWatch&) = delete;
  AlsaSequencerWatch& operator=(const AlsaSequencerWatch&) = delete;
  ~AlsaSequencerWatch() noexcept;

 private:
  struct Sequencer;  // ALSA's handle; its header stays out of this one

  AlsaSequencerWatch(std::unique_ptr<Sequencer> sequencer, int wakeRead, int wakeWrite,
                     std::shared_ptr<MidiChangeSignal> changes);
  void run() noexcept;

  std::unique_ptr<Sequencer> sequencer_;
  int wakeRead_;
  int wakeWrite_;
  std::shared_ptr<MidiChangeSignal> changes_;
  std::thread thread_;
};

}  // namespace notecast
