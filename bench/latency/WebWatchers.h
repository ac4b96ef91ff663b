#pragma once
// Pages watching the host's web page, as the latency benchmark's rows with watchers have them:
// WebSocket clients of /live that take everything pushed, as a browser does, in a thread of
// their own with its own event loop (the benchmark's main thread paces the frames with sleeps
// and would leave them unread).
//
// Contract: create and destroy on one thread; the counts may be read from any thread.

#include <QThread>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <cstdint>

namespace notecast::bench {

class WebWatchers {
 public:
  // `count` clients of `live` ("ws://127.0.0.1:PORT/live"), connecting at once.
  WebWatchers(const QUrl& live, int count);
  ~WebWatchers();
  WebWatchers(const WebWatchers&) = delete;
  WebWatchers& operator=(const WebWatchers&) = delete;

  // True once every client is connected, within `timeout`.
  bool waitConnected(std::chrono::milliseconds timeout) const;
  std::int64_t messages() const noexcept { return messages_.load(); }
  std::int64_t bytes() const noexcept { return bytes_.load(); }

 private:
  QThread thread_;
  QObject* context_;  // lives in thread_, with the sockets as its children
  int count_;
  std::atomic<int> connected_{0};
  std::atomic<std::int64_t> messages_{0};
  std::atomic<std::int64_t> bytes_{0};
};

}  // namespace notecast::bench
