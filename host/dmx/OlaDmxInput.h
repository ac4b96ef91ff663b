#pragma once
// DMX input from an OLA daemon: a client of the daemon on 127.0.0.1:9010, registered for each of
// its universes, receiving their frames.
//
// The client runs on a thread of its own (OLA calls its callbacks on the thread running its
// select server). Its frames reach the main thread through a mailbox: the client thread adds each
// frame and posts one drain for whatever has come until the main thread takes it, rather than
// one event per frame. The mailbox is bounded like the input's own wait (FrameQueue): when the
// main thread falls more than about a second of frames behind, the oldest fold, keeping each
// channel's newest value. State changes are posted in the order they happen.
//
// A host that was stopped (SIGSTOP, a debugger, a machine starved for seconds) finds its socket
// full of frames from the time it did not run. The client thread knows it did not run by its
// own heartbeat, every kBeatInterval: when the next beat or frame finds the last beat more than
// kStallLimit ago, the frames that follow are the backlog as long as they come faster than a
// live source sends them (more than about a DMX rate's worth in kBacklogWindow), and so are
// frames the main thread has not taken yet. The backlog is folded into one frame and handed over
// once the frames come at a live pace again (or stop), so the plug-in gets the present state at
// once instead of a replay of the past.
//
// The client never starts a daemon (OLA's default client would start one with the default
// configuration, network plugins included): with no daemon, or when the daemon goes away, the
// state says so and the client tries again every kRetryInterval, on its own thread.
//
// Contract: main thread; stop() (run by the destructor too) ends the client and joins its
// thread, so no frame arrives after it.

#include <QString>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "host/dmx/DmxInput.h"
#include "host/dmx/FrameQueue.h"

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
  static constexpr std::chrono::milliseconds kBeatInterval{100};
  static constexpr std::chrono::milliseconds kStallLimit{1000};
  // A backlog comes as fast as the thread reads, in bursts as the daemon refills the socket; a
  // live source sends a few frames per universe in this long (DMX: at most 44 a second).
  static constexpr std::chrono::milliseconds kBacklogWindow{100};
  // A backlog is read within this long; a source sending faster than DMX ends the folding here.
  static constexpr std::chrono::milliseconds kMaxBacklogRead{500};

  // `universes`: 1..ChannelState::kMaxUniverse each.
  explicit OlaDmxInput(std::vector<unsigned> universes);
  ~OlaDmxInput() override;

  void start() override;

 private:
  void stopSource() override;
  // On the main thread: hands what the mailbox holds to the input.
  void drainMailbox();

  // On the client's thread.
  void run();
  // One connection, from connecting to its end; false when there was no daemon to connect to.
  bool serveOneConnection();
  bool waitBeforeRetry();
  void frameArrived(const ola::client::DMXMetadata& metadata, const ola::DmxBuffer& buffer);
  bool beat();
  void startBacklog(std::chrono::steady_clock::time_point now);
  bool backlogRead(std::chrono::steady_clock::time_point now);
  void armBacklogSettle();
  void backlogSettled();
  void endBacklog();
  void handOver(DmxFrame frame);
  void registered(unsigned universe, const ola::client::Result& result);
  void connectionClosed();
  void post(const QString& state);

  const std::vector<unsigned> universes_;
  std::thread thread_;
  std::mutex mutex_;  // guards stopping_ and server_
  std::condition_variable wake_;
  bool stopping_ = false;
  ola::io::SelectServer* server_ = nullptr;  // the running connection's, for stop()
  // Client thread only, of the current connection:
  std::size_t registeredCount_ = 0;
  ola::io::SelectServer* loop_ = nullptr;
  std::chrono::steady_clock::time_point lastBeat_;
  bool readingBacklog_ = false;
  std::chrono::steady_clock::time_point backlogStart_;
  FrameQueue backlog_{1};  // the backlog read so far, folded into one frame
  std::deque<std::chrono::steady_clock::time_point> backlogArrivals_;  // in the last window
  void* backlogSettle_ = nullptr;  // the select server's timeout id, null when none
  std::mutex mailboxMutex_;        // guards mailbox_ and drainPosted_
  FrameQueue mailbox_;
  bool drainPosted_ = false;  // a drain is on its way to the main thread
};

}  // namespace notecast::host
