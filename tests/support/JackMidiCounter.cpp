#include "tests/support/JackMidiCounter.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cerrno>

namespace notecast::testing {

std::unique_ptr<JackMidiCounter> JackMidiCounter::open(const std::string& name,
                                                       std::string* error) {
  jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, nullptr);
  if (!client) {
    *error = "cannot open JACK client " + name;
    return nullptr;
  }
  jack_port_t* port = jack_port_register(client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  if (!port) {
    jack_client_close(client);
    *error = "cannot register " + name + ":in";
    return nullptr;
  }
  std::unique_ptr<JackMidiCounter> counter(new JackMidiCounter(client, port));
  jack_set_process_callback(client, &JackMidiCounter::process, counter.get());
  if (jack_activate(client) != 0) {
    *error = "cannot activate JACK client " + name;
    return nullptr;
  }
  return counter;
}

JackMidiCounter::JackMidiCounter(jack_client_t* client, jack_port_t* port)
    : client_(client), port_(port) {}

JackMidiCounter::~JackMidiCounter() {
  jack_deactivate(client_);
  jack_client_close(client_);
}

std::string JackMidiCounter::portName() const {
  return jack_port_name(port_);
}

bool JackMidiCounter::connectFrom(const std::string& source) {
  const int result = jack_connect(client_, source.c_str(), jack_port_name(port_));
  return result == 0 || result == EEXIST;
}

std::chrono::steady_clock::time_point JackMidiCounter::lastArrival() const noexcept {
  return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(lastArrivalNs_.load()));
}

std::vector<std::uint32_t> JackMidiCounter::received() const {
  const auto count = std::min<std::int64_t>(messages_.load(), kKept);
  return {kept_.begin(), kept_.begin() + count};
}

int JackMidiCounter::process(jack_nframes_t frames, void* self) {
  auto& counter = *static_cast<JackMidiCounter*>(self);
  void* buffer = jack_port_get_buffer(counter.port_, frames);
  const jack_nframes_t events = jack_midi_get_event_count(buffer);
  for (jack_nframes_t i = 0; i < events; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, buffer, i) != 0 || event.size == 0) continue;
    std::uint32_t packed = 0;
    for (std::size_t b = 0; b < 3; ++b)
      packed = packed << 8 | (b < event.size ? event.buffer[b] : 0);
    counter.last_.store(packed);
    const std::int64_t index = counter.messages_.load();
    if (index < static_cast<std::int64_t>(kKept)) counter.kept_[index] = packed;
    counter.messages_.store(index + 1);
  }
  if (events > 0)
    counter.lastArrivalNs_.store(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
  return 0;
}

}  // namespace notecast::testing
