#pragma once
// A JACK client of the tests that counts the MIDI it receives, as a synthesizer would take it in:
// one input port, read in JACK's process callback, so bursts arrive whole (a reader that polls,
// or jack_midi_dump, drops them). A test connects a source to it with connectFrom, again after
// either side was restarted, and watches whether MIDI resumes.
//
// Contract: create and destroy on one thread; counts and the last message may be read from any
// thread. Needs a running JACK server (see PrivateJackServer.h); the client's name must be unique
// to the process (ownClientName).

#include <jack/jack.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace notecast::testing {

class JackMidiCounter {
 public:
  // A client "<name>" with port "<name>:in"; null when the server refuses (reason in *error).
  static std::unique_ptr<JackMidiCounter> open(const std::string& name, std::string* error);
  ~JackMidiCounter();
  JackMidiCounter(const JackMidiCounter&) = delete;
  JackMidiCounter& operator=(const JackMidiCounter&) = delete;

  std::string portName() const;
  // Connects `source` to our port; true when connected (now or already).
  bool connectFrom(const std::string& source);

  std::int64_t messages() const noexcept { return messages_.load(); }
  // The last message's bytes packed as status << 16 | data1 << 8 | data2 (0 before the first).
  std::uint32_t lastMessage() const noexcept { return last_.load(); }
  // When the last message arrived, by the steady clock (the clock's epoch before the first).
  std::chrono::steady_clock::time_point lastArrival() const noexcept;
  // The first kKept messages in the order they arrived, packed as lastMessage() is; later ones
  // are counted, not kept.
  static constexpr std::size_t kKept = 4096;
  std::vector<std::uint32_t> received() const;

 private:
  explicit JackMidiCounter(jack_client_t* client, jack_port_t* port);
  static int process(jack_nframes_t frames, void* self);

  jack_client_t* client_;
  jack_port_t* port_;
  std::atomic<std::int64_t> messages_{0};
  // Written only by the process callback, each slot before the count that publishes it.
  std::array<std::uint32_t, kKept> kept_{};
  std::atomic<std::uint32_t> last_{0};
  std::atomic<std::int64_t> lastArrivalNs_{0};
};

}  // namespace notecast::testing
