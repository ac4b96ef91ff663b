#pragma once
// DMX input from an OLA daemon: a client of the daemon on 127.0.0.1:9010, registered for each of
// its universes, receiving their frames.
//
// The client runs on a thread of its own (OLA calls its callbacks on the thread running its
// select server) and posts each frame, and each state change, to the main thread in the order it
// came; none is dropped or merged. The client never starts a daemon (OLA's default client would
// start one with the default configuration, network plugins included): with no daemon, or when
// the daemon goes away, the state says so and the client tries again every kRetryInterval, on its
// own thread.
//
// Contract: main thread; stop() (run by the destructor too) ends the client and joins its
// thread, so no frame arrives after it.

#include <QString>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "host/dmx/DmxInput.h"

namespace ola {
class DmxBuffer;
namespace io {
class SelectServer;
}
namespace client {
class Result;
struct DMXMetadata;
}  // namespace client
}  // namespace ola

namespace notecast::host {

class OlaDmxInput : public DmxInput {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kRetryInterval{1000};
  static constexpr const char* kNoDaemon = "no OLA daemon on 127.0.0.1:9010, retrying";
  static constexpr const char* kConnectionLost = "connection lost, retrying";
  static constexpr const char* kConnecting = "connecting";
  static constexpr const char* kRunning = "running";

  // `universes`: 1..ChannelState::kMaxUniverse each.
  explicit OlaDmxInput(std::vector<unsigned> universes);
  ~OlaDmxInput() override;

  void start() override;
  void stop() override;

 private:
  // On the client's thread.
  void run();
  // One connection, from connecting to its end; false when there was no daemon to connect to.
  bool serveOneConnection();
  bool waitBeforeRetry();
  void frameArrived(const ola::client::DMXMetadata& metadata, const ola::DmxBuffer& buffer);
  void registered(unsigned universe, const ola::client::Result& result);
  void connectionClosed();
  void post(const QString& state);

  const std::vector<unsigned> universes_;
  std::thread thread_;
  std::mutex mutex_;  // guards stopping_ and server_
  std::condition_variable wake_;
  bool stopping_ = false;
  ola::io::SelectServer* server_ = nullptr;  // the running connection's, for stop()
  std::size_t registeredCount_ = 0;          // of the current connection; client thread only
};

}  // namespace notecast::host
