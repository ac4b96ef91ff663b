#include "bench/latency/TimingReader.h"

#include <jack/midiport.h>
#include <unistd.h>

namespace notecast::bench {

TimingReader::~TimingReader() {
  if (!client_) return;
  jack_deactivate(client_);
  jack_client_close(client_);
}

bool TimingReader::open(std::string* error, const std::string& name) {
  const std::string own = name.empty() ? "latency-reader-" + std::to_string(::getpid()) : name;
  client_ = jack_client_open(own.c_str(), JackNoStartServer, nullptr);
  if (!client_) return *error = "cannot open a JACK client", false;
  port_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  jack_set_process_callback(client_, &TimingReader::process, this);
  if (!port_ || jack_activate(client_) != 0) return *error = "cannot activate the reader", false;
  return true;
}

bool TimingReader::connectFrom(const std::string& source) {
  return jack_port_by_name(client_, source.c_str()) &&
         jack_connect(client_, source.c_str(), jack_port_name(port_)) == 0;
}

void TimingReader::startRecording() {
  arrivalCount_.store(0, std::memory_order_release);
  cycleCount_.store(0, std::memory_order_release);
  recording_.store(true, std::memory_order_release);
}

std::vector<Arrival> TimingReader::arrivals() const {
  const auto end = arrivals_.begin() + static_cast<std::ptrdiff_t>(arrivalCount_.load());
  return {arrivals_.begin(), end};
}

std::vector<Cycle> TimingReader::cycles() const {
  return {cycles_.begin(), cycles_.begin() + static_cast<std::ptrdiff_t>(cycleCount_.load())};
}

int TimingReader::process(jack_nframes_t frames, void* self) {
  static_cast<TimingReader*>(self)->read(frames);
  return 0;
}

void TimingReader::read(jack_nframes_t frames) {
  void* buffer = jack_port_get_buffer(port_, frames);
  const jack_time_t now = jack_get_time();
  const bool recording = recording_.load(std::memory_order_acquire);
  if (recording) {
    jack_nframes_t cycleFrames = 0;
    jack_time_t start = 0, next = 0;
    float periodUsecs = 0;
    const std::size_t c = cycleCount_.load(std::memory_order_relaxed);
    if (jack_get_cycle_times(client_, &cycleFrames, &start, &next, &periodUsecs) != 0) {
      start = now;
    }
    if (c < cycles_.size()) {
      cycles_[c] = {start, now};
      cycleCount_.store(c + 1, std::memory_order_release);
    } else {
      overflow_.fetch_add(1, std::memory_order_relaxed);
    }
  }
  const jack_nframes_t events = jack_midi_get_event_count(buffer);
  std::size_t n = arrivalCount_.load(std::memory_order_relaxed);
  for (jack_nframes_t i = 0; i < events; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, buffer, i) != 0) continue;
    seen_.fetch_add(1, std::memory_order_relaxed);
    if (!recording || event.size != 3) continue;
    if (n == arrivals_.size()) {
      overflow_.fetch_add(1, std::memory_order_relaxed);
      continue;
    }
    arrivals_[n++] = {now, event.buffer[0], event.buffer[1], event.buffer[2]};
  }
  arrivalCount_.store(n, std::memory_order_release);
}

}  // namespace notecast::bench
