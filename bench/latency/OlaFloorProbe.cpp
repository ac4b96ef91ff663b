#include "bench/latency/OlaFloorProbe.h"

#include <ola/Callback.h>
#include <ola/DmxBuffer.h>
#include <pthread.h>
#include <sched.h>

#include <chrono>

namespace notecast::bench {

OlaFloorProbe::~OlaFloorProbe() {
  if (!thread_.joinable()) return;
  wrapper_.GetSelectServer()->Terminate();  // runs on the probe's thread
  thread_.join();
}

bool OlaFloorProbe::start(const std::vector<unsigned>& universes, std::string* error) {
  if (!wrapper_.Setup()) return *error = "the floor probe cannot connect to OLA", false;
  ola::client::OlaClient* client = wrapper_.GetClient();
  client->SetDMXCallback(ola::NewCallback(this, &OlaFloorProbe::frameArrived));
  for (const unsigned universe : universes) {
    client->RegisterUniverse(universe, ola::client::REGISTER,
                             ola::NewSingleCallback(this, &OlaFloorProbe::registered));
  }
  thread_ = std::thread([this] {
    sched_param parameters{};
    parameters.sched_priority = 1;
    realTime_ = ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &parameters) == 0;
    wrapper_.GetSelectServer()->Run();
  });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (registered_.load() < universes.size()) {
    if (std::chrono::steady_clock::now() > deadline)
      return *error = "the floor probe's universes were not registered", false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

void OlaFloorProbe::startRecording() {
  count_.store(0, std::memory_order_release);
  recording_.store(true, std::memory_order_release);
}

std::vector<FrameArrival> OlaFloorProbe::arrivals() const {
  return {arrivals_.begin(), arrivals_.begin() + static_cast<std::ptrdiff_t>(count_.load())};
}

void OlaFloorProbe::registered(const ola::client::Result& result) {
  if (result.Success()) registered_.fetch_add(1);
}

void OlaFloorProbe::frameArrived(const ola::client::DMXMetadata& metadata,
                                 const ola::DmxBuffer& buffer) {
  const jack_time_t now = jack_get_time();
  if (!recording_.load(std::memory_order_acquire) || buffer.Size() == 0) return;
  const std::size_t n = count_.load(std::memory_order_relaxed);
  if (n == arrivals_.size()) {
    overflow_.fetch_add(1);
    return;
  }
  arrivals_[n] = {now, metadata.universe, buffer.Get(0)};
  count_.store(n + 1, std::memory_order_release);
}

}  // namespace notecast::bench
