#include "midi/AlsaSequencerWatch.h"

#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "midi/QuietMidiLibraries.h"

namespace notecast {
namespace {

constexpr const char* kPortName = "announcements";
// Read in one go before the signal is raised; more wait for the next round of poll().
constexpr int kMostEventsAtOnce = 1024;

}  // namespace

struct AlsaSequencerWatch::Sequencer {
  snd_seq_t* handle;
};

std::unique_ptr<AlsaSequencerWatch> AlsaSequencerWatch::connect(
    std::shared_ptr<MidiChangeSignal> changes) {
  QuietMidiLibraries::ensure();
  snd_seq_t* sequencer = nullptr;
  if (snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK) < 0) return nullptr;
  snd_seq_set_client_name(sequencer, kClientName);
  const int port = snd_seq_create_simple_port(sequencer, kPortName,
                                              SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
                                              SND_SEQ_PORT_TYPE_APPLICATION);
  int wake[2] = {-1, -1};
  if (port < 0 ||
      snd_seq_connect_from(sequencer, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE) <
          0 ||
      ::pipe2(wake, O_CLOEXEC | O_NONBLOCK) < 0) {
    snd_seq_close(sequencer);
    return nullptr;
  }
  std::unique_ptr<AlsaSequencerWatch> watch(new AlsaSequencerWatch(
      std::make_unique<Sequencer>(Sequencer{sequencer}), wake[0], wake[1], std::move(changes)));
  try {
    watch->thread_ = std::thread([raw = watch.get()] { raw->run(); });
  } catch (...) {
    return nullptr;  // the destructor closes what was opened; without a thread there is no watch
  }
  return watch;
}

AlsaSequencerWatch::AlsaSequencerWatch(std::unique_ptr<Sequencer> sequencer, int wakeRead,
                                       int wakeWrite, std::shared_ptr<MidiChangeSignal> changes)
    : sequencer_(std::move(sequencer)),
      wakeRead_(wakeRead),
      wakeWrite_(wakeWrite),
      changes_(std::move(changes)) {}

AlsaSequencerWatch::~AlsaSequencerWatch() noexcept {
  if (thread_.joinable()) {
    const char stop = 1;
    while (::write(wakeWrite_, &stop, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
  }
  snd_seq_close(sequencer_->handle);
  ::close(wakeRead_);
  ::close(wakeWrite_);
}

// The watch's thread: waits for announcements or the stop, reads every waiting event and raises
// the signal once per batch. Any event on the port is an announcement (a client or port that
// started, ended or changed, or a subscription made or removed).
void AlsaSequencerWatch::run() noexcept {
  const int count = snd_seq_poll_descriptors_count(sequencer_->handle, POLLIN);
  if (count <= 0) return;
  std::vector<pollfd> waits(static_cast<std::size_t>(count) + 1);
  snd_seq_poll_descriptors(sequencer_->handle, waits.data(), static_cast<unsigned int>(count),
                           POLLIN);
  pollfd& stop = waits.back();
  stop = {wakeRead_, POLLIN, 0};
  for (;;) {
    if (::poll(waits.data(), waits.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (stop.revents != 0) return;
    for (std::size_t i = 0; i + 1 < waits.size(); ++i) {
      if ((waits[i].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        changes_->raise();  // the sequencer is gone: the owner finds out when it next looks
        return;
      }
    }
    bool announced = false;
    for (int read = 0; read < kMostEventsAtOnce; ++read) {
      snd_seq_event_t* event = nullptr;
      const int result = snd_seq_event_input(sequencer_->handle, &event);
      if (result == -EAGAIN) break;
      if (result >= 0 || result == -ENOSPC) {  // -ENOSPC: events were lost, so something changed
        announced = true;
        continue;
      }
      changes_->raise();  // the sequencer refuses: the owner finds out when it next looks
      return;
    }
    if (announced) changes_->raise();
  }
}

}  // namespace notecast
