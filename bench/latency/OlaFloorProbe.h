#pragma once
// The floor of the path through the host: a second OLA client, in the benchmark, registered to
// the same universes as the host. It timestamps every frame the daemon hands it (jack_get_time),
// so a frame's hop from the sender through the daemon to a client is known without the host.
// Its thread asks for SCHED_FIFO 1, as the host's dispatch does, so both wait alike.

#include <jack/jack.h>
#include <ola/client/ClientWrapper.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

namespace notecast::bench {

// One universe frame as the probe got it: its time, universe and first channel's value.
struct FrameArrival {
  jack_time_t usecs;
  unsigned universe;
  unsigned char firstValue;
};

class OlaFloorProbe {
 public:
  explicit OlaFloorProbe(std::size_t capacity) : arrivals_(capacity) {}
  ~OlaFloorProbe();
  OlaFloorProbe(const OlaFloorProbe&) = delete;
  OlaFloorProbe& operator=(const OlaFloorProbe&) = delete;

  // Connects to the daemon on 127.0.0.1:9010 (never starting one), registers the universes and
  // runs its thread; false with the reason in *error.
  bool start(const std::vector<unsigned>& universes, std::string* error);
  bool realTime() const { return realTime_.load(); }

  void startRecording();
  void stopRecording() { recording_.store(false, std::memory_order_release); }
  std::size_t overflow() const { return overflow_.load(); }
  std::vector<FrameArrival> arrivals() const;

 private:
  void registered(const ola::client::Result& result);
  void frameArrived(const ola::client::DMXMetadata& metadata, const ola::DmxBuffer& buffer);

  ola::client::OlaClientWrapper wrapper_{false};  // auto-start off: never a daemon of its own
  std::thread thread_;
  std::vector<FrameArrival> arrivals_;
  std::atomic<std::size_t> count_{0}, overflow_{0}, registered_{0};
  std::atomic<bool> recording_{false}, realTime_{false};
};

}  // namespace notecast::bench
