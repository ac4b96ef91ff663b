#pragma once
// DMX input from an OLA daemon: a client of the daemon at its address (127.0.0.1:9010 unless the
// source names another), registered for each of its universes, receiving their frames.
//
// The connection is made in the background: the main thread never waits for a daemon on another
// machine that does not answer; an attempt that has no answer within kConnectTimeout counts as
// no daemon. TCP keepalive finds a daemon whose machine went away (about kDeadPeerSeconds) where
// the input would otherwise wait for frames for ever.
//
// The client runs on the main thread, inside Qt's event loop: a socket notifier on the client's
// connection reads each frame as it comes and hands it straight to the input, with no thread and
// no queue in between. OLA's client is never re-entered: frames are read into the input's wait
// (DmxInput, bounded by FrameQueue) and sent only after the read is over, so a receiver that
// opens a message box (a nested event loop) lets the next frames be read into that wait, where
// they fold once more than about a second of them has come.
//
// A host that was stopped (SIGSTOP, a debugger, a machine starved for seconds, a plug-in call
// that blocked) finds its socket full of frames from the time it did not run. The input knows it
// did not run by its own heartbeat, every kBeatInterval: when the next beat or frame finds the
// last beat more than kStallLimit ago, the frames that follow are the backlog as long as they
// come faster than a live source sends them (more than about a DMX rate's worth in
// kBacklogWindow). The backlog is folded into one frame and handed over once the frames come at
// a live pace again (or stop), so the plug-in gets the present state at once instead of a replay
// of the past.
//
// The client never starts a daemon (OLA's default client would start one with the default
// configuration, network plugins included): with no daemon, or when the daemon goes away, the
// state says so, naming the address, and the client tries again every kRetryInterval.
//
// Contract: main thread only; stop() (run by the destructor too) closes the connection, so no
// frame arrives after it.

#include <QTimer>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "host/dmx/DmxInput.h"
#include "host/dmx/FrameQueue.h"
#include "host/dmx/OlaDaemonAddress.h"

namespace ola {
class DmxBuffer;
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
  static constexpr std::chrono::milliseconds kConnectTimeout{3000};
  static constexpr int kDeadPeerSeconds = 11;  // keepalive: 5 s idle, then 3 probes 2 s apart
  // The state without a daemon at the default address; another names its own.
  static constexpr const char* kNoDaemon = "no OLA daemon on 127.0.0.1:9010, retrying";
  static constexpr const char* kConnectionLost = "connection lost, retrying";
  static constexpr const char* kConnecting = "connecting";
  static constexpr const char* kRunning = "running";
  static constexpr std::chrono::milliseconds kBeatInterval{250};  // a quarter of kStallLimit
  static constexpr std::chrono::milliseconds kStallLimit{1000};
  // A backlog comes as fast as the socket is read; a live source sends a few frames per universe
  // in this long (DMX: at most 44 a second).
  static constexpr std::chrono::milliseconds kBacklogWindow{100};
  // A backlog is read within this long; a source sending faster than DMX ends the folding here.
  static constexpr std::chrono::milliseconds kMaxBacklogRead{500};

  // `universes`: 1..ChannelState::kMaxUniverse each. Looks the daemon's host up now: throws
  // std::invalid_argument naming a host without an IPv4 address.
  explicit OlaDmxInput(std::vector<unsigned> universes, const OlaDaemonAddress& daemon = {});
  ~OlaDmxInput() override;

  void start() override;

 private:
  struct Attempt;     // a connection being made: its socket and the notifier awaiting the end
  struct Connection;  // the socket, OLA's client on it and the notifier watching it

  void stopSource() override;
  void connectToDaemon();
  void attemptAnswered();
  void endAttempt();
  void noDaemon(int error);
  void connected(int descriptor);
  void socketReady();
  void connectionClosed();
  void frameArrived(const ola::client::DMXMetadata& metadata, const ola::DmxBuffer& buffer);
  void beat();
  void startBacklog(std::chrono::steady_clock::time_point now);
  bool backlogRead(std::chrono::steady_clock::time_point now);
  void endBacklog();
  void registered(unsigned universe, const ola::client::Result& result);

  const std::vector<unsigned> universes_;
  const std::uint32_t daemonIpv4_;  // host byte order
  const std::uint16_t daemonPort_;
  const QString daemonText_;  // "192.168.1.20:9010", "lightpc:9010 (192.168.1.20)"
  std::unique_ptr<Attempt> attempt_;
  QTimer attemptTimeout_;
  std::unique_ptr<Connection> connection_;
  bool started_ = false;
  bool stopped_ = false;
  bool lost_ = false;  // a connection was lost: the state keeps saying so while retrying
  std::size_t registeredCount_ = 0;
  QTimer retry_;
  QTimer beat_;
  QTimer backlogSettle_;  // a window without any backlog frame ends the backlog
  std::chrono::steady_clock::time_point lastBeat_;
  bool readingBacklog_ = false;
  std::chrono::steady_clock::time_point backlogStart_;
  FrameQueue backlog_{1};  // the backlog read so far, folded into one frame
  std::deque<std::chrono::steady_clock::time_point> backlogArrivals_;  // in the last window
};

}  // namespace notecast::host
