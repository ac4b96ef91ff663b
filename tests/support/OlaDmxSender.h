#pragma once
// Sends DMX to one universe of the test's own OLA daemon (SafeOlad, RPC port `rpcPort`), as a
// lighting desk on the network would: single frames on demand, or a full universe at a steady
// frame rate from a thread of its own. It never starts a daemon (auto_start off) and connects
// again after the daemon was restarted.
//
// Contract: one thread drives it; the frame thread, while running, is the only sender.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace ola::client {
class StreamingClient;
}

namespace notecast::testing {

class OlaDmxSender {
 public:
  // The value of `channel` (1..512) in frame `frame`.
  using Pattern = std::function<std::int64_t(std::int64_t frame, int channel)>;

  explicit OlaDmxSender(unsigned int universe, std::uint16_t rpcPort = 9010);
  ~OlaDmxSender();

  // Sends one frame with `channel` at `value` and every slot before it at 0; false when the
  // daemon did not take it (it is connected again for the next frame).
  bool sendLevel(int channel, std::int64_t value);

  // Sends 512-slot frames of `pattern` at `framesPerSecond` until stopSending().
  void startFullUniverse(int framesPerSecond, Pattern pattern);
  void stopSending();
  // The value last sent for `channel` by the frame thread.
  std::int64_t currentValue(int channel) const;

 private:
  bool send(const std::uint8_t* values, unsigned int length);

  unsigned int universe_;
  std::uint16_t rpcPort_;
  std::unique_ptr<ola::client::StreamingClient> client_;
  std::mutex clientMutex_;
  std::thread frames_;
  std::atomic<bool> running_{false};
  std::atomic<std::int64_t> frame_{0};
  Pattern pattern_;
};

}  // namespace notecast::testing
