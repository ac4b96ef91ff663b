#include "tests/support/OlaDmxSender.h"

#include <ola/DmxBuffer.h>
#include <ola/client/StreamingClient.h>

#include <algorithm>
#include <array>
#include <chrono>

namespace notecast::testing {
namespace {

constexpr int kSlots = 512;

std::uint8_t asSlot(std::int64_t value) {
  return static_cast<std::uint8_t>(std::clamp<std::int64_t>(value, 0, 255));
}

}  // namespace

OlaDmxSender::OlaDmxSender(unsigned int universe, std::uint16_t rpcPort)
    : universe_(universe), rpcPort_(rpcPort) {}

OlaDmxSender::~OlaDmxSender() {
  stopSending();
}

bool OlaDmxSender::send(const std::uint8_t* values, unsigned int length) {
  const std::lock_guard lock(clientMutex_);
  if (!client_) {
    ola::client::StreamingClient::Options options;
    options.auto_start = false;  // never a daemon with the default (network) configuration
    options.server_port = rpcPort_;
    client_ = std::make_unique<ola::client::StreamingClient>(options);
    if (!client_->Setup()) {
      client_.reset();
      return false;
    }
  }
  ola::DmxBuffer buffer(values, length);
  if (client_->SendDmx(universe_, buffer)) return true;
  client_.reset();  // the daemon went away: connect again next time
  return false;
}

bool OlaDmxSender::sendLevel(int channel, std::int64_t value) {
  std::array<std::uint8_t, kSlots> values{};
  const int length = std::clamp(channel, 1, kSlots);
  values[static_cast<std::size_t>(length - 1)] = asSlot(value);
  return send(values.data(), static_cast<unsigned int>(length));
}

void OlaDmxSender::startFullUniverse(int framesPerSecond, Pattern pattern) {
  stopSending();
  pattern_ = std::move(pattern);
  running_ = true;
  frames_ = std::thread([this, framesPerSecond] {
    const auto period = std::chrono::microseconds(1000000 / framesPerSecond);
    auto next = std::chrono::steady_clock::now();
    std::array<std::uint8_t, kSlots> values{};
    while (running_) {
      const std::int64_t frame = frame_.load();
      for (int c = 1; c <= kSlots; ++c)
        values[static_cast<std::size_t>(c - 1)] = asSlot(pattern_(frame, c));
      send(values.data(), kSlots);
      frame_.store(frame + 1);
      next += period;
      std::this_thread::sleep_until(next);
    }
  });
}

void OlaDmxSender::stopSending() {
  running_ = false;
  if (frames_.joinable()) frames_.join();
}

std::int64_t OlaDmxSender::currentValue(int channel) const {
  const std::int64_t frame = frame_.load();
  return pattern_ ? asSlot(pattern_(frame > 0 ? frame - 1 : 0, channel)) : 0;
}

}  // namespace notecast::testing
