#pragma once
// The benchmark's JACK client: one MIDI input whose process callback timestamps every message
// (jack_get_time) and notes every cycle's start, into room taken before recording starts.

#include <jack/jack.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

namespace notecast::bench {

// One MIDI message as it arrived: the reader's callback time and its three bytes.
struct Arrival {
  jack_time_t usecs;
  unsigned char status, data1, data2;
};

// One JACK cycle: when it started and when the reader's callback ran in it (the time its
// messages get).
struct Cycle {
  jack_time_t start, callback;
};

class TimingReader {
 public:
  TimingReader(std::size_t messageCapacity, std::size_t cycleCapacity)
      : arrivals_(messageCapacity), cycles_(cycleCapacity) {}
  ~TimingReader();
  TimingReader(const TimingReader&) = delete;
  TimingReader& operator=(const TimingReader&) = delete;

  // A client "<name>" ("latency-reader-PID" when empty) with the port "<name>:in".
  bool open(std::string* error, const std::string& name = {});
  std::string portName() const { return jack_port_name(port_); }
  bool connectFrom(const std::string& source);
  jack_nframes_t periodFrames() const { return jack_get_buffer_size(client_); }
  jack_nframes_t sampleRate() const { return jack_get_sample_rate(client_); }

  void startRecording();
  void stopRecording() { recording_.store(false, std::memory_order_release); }
  // Messages seen at all, recording or not.
  std::size_t seen() const { return seen_.load(std::memory_order_acquire); }
  // Messages or cycles that found no room.
  std::size_t overflow() const { return overflow_.load(std::memory_order_acquire); }
  std::vector<Arrival> arrivals() const;
  std::vector<Cycle> cycles() const;

 private:
  static int process(jack_nframes_t frames, void* self);
  void read(jack_nframes_t frames);

  jack_client_t* client_ = nullptr;
  jack_port_t* port_ = nullptr;
  std::vector<Arrival> arrivals_;
  std::vector<Cycle> cycles_;
  std::atomic<std::size_t> arrivalCount_{0}, cycleCount_{0}, seen_{0}, overflow_{0};
  std::atomic<bool> recording_{false};
};

}  // namespace notecast::bench
