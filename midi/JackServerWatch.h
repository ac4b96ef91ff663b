#pragma once
// A JACK client of the control's own that watches the server: it holds no ports and, having no
// process callback, stays out of the processing cycle; it is activated only so that the
// server sends it notifications. Its callbacks run on libjack's notification thread and do no
// more than raise the change signal: a port or a client came or went, the server shut down.
// The comings and goings of the control's own clients are no change: a failed attempt to open
// an output would otherwise set off the next one, and so on.
//
// RtMidi's JACK output says nothing when the server stops nor when the port it sends to goes
// away, and once its client is cut off from the server it busy-waits in sendMessage as soon as
// its buffer is full. The control asks the watch before every send so that it never sends into a
// dead server. The watch never starts a server (JackNoStartServer).
//
// Closing: jack_client_close cancels the client's notification thread asynchronously. A thread
// cancelled inside one of our callbacks, or inside libjack's handling of a client that came or
// went (which holds a lock shared by every client of the process), leaves that lock held for
// good, and the close, or the next one, waits on it forever. So the callbacks stop raising before
// the close begins and the close waits for a callback in progress; the owner closes the watch
// only after the watch has seen the other clients it closed go (awaitClientGone); every close
// waits for a quiet moment first (awaitQuiet), as other programs' clients come and go at any
// time; and the close itself is bounded (BoundedClose).
//
// A server that went: the callbacks call nothing of libjack from the moment it has gone. A client
// of a server that went must still be closed: libjack keeps the server's shared memory mapped
// while any client of the process is open, and a client opened to a server started again would
// read the old one's.
// User-interface thread, except running() (any thread).

#include <jack/jack.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "midi/BoundedClose.h"
#include "midi/MidiChangeSignal.h"

namespace notecast {

class JackServerWatch {
 public:
  // The client is "Notecast-watch-<pid>": libjack names a client's notification socket after
  // the client and user alone, so equal names in two processes clash even on different servers.
  static constexpr const char* kClientNamePrefix = "Notecast-watch-";

  // Watches the server that JACK_DEFAULT_SERVER names (JACK's default when unset), raising
  // `changes` on every change except those of clients named `ownClient` (as JACK names them:
  // "Notecast", "Notecast-01", ...); null when no such server runs.
  static std::unique_ptr<JackServerWatch> connect(std::shared_ptr<MidiChangeSignal> changes,
                                                  const std::string& ownClient);
  // Whether `client` is `base` as JACK names a client asked for under that name: itself, or
  // with "-NN" when the name was taken.
  static bool isNamedAs(const std::string& client, const std::string& base);

  JackServerWatch(const JackServerWatch&) = delete;
  JackServerWatch& operator=(const JackServerWatch&) = delete;
  ~JackServerWatch() noexcept;

  // False from the moment the server has shut down or dropped this client, or libjack deleted
  // it (QuietMidiLibraries::jackCleanups); any thread.
  bool running() const noexcept;
  // Whether a port of this full name ("client:port") exists. Reads the server's shared port
  // table, without a round trip to the server: cheap enough for every message.
  bool hasPort(const std::string& name) const;
  // Whether a client of this name exists (one round trip).
  bool hasClient(const std::string& name) const;
  // The name JACK gives a client asked for as `base` now: `base` when no client has it, else
  // the first of "base-01" .. "base-99" that none has (one round trip per name taken).
  std::string freeClientName(const std::string& base) const;
  // The name JACK gave the client this process asked for as `base` just now, `expected` being
  // what freeClientName said before: a program that took that name meanwhile pushes ours to the
  // next free one. Told by the clients' process ids; `expected` when none of the names is this
  // process's (a JACK library that tells no ids).
  std::string nameGiven(const std::string& base, const std::string& expected) const;
  // The full names of the ports connected to the port `name`, as the graph stands now.
  std::vector<std::string> connectionsOf(const std::string& name) const;
  // Whether connectionsOf can be trusted for a port that went and came back under its name.
  // PipeWire's JACK library (it names itself in its version string) may still answer for the
  // port that went, and so tells no connection of the one that came back.
  static bool seesReturnedPorts() noexcept;
  // How many times a port of this full name was registered while the watch looked: a port that
  // went and came back between two looks has a higher count. Any thread.
  std::uint64_t registrations(const std::string& name) const;
  // Connects the port `from` to the port `to` through the watch's own client (JACK lets any
  // client connect any two ports); true when connected, also when they were already.
  bool connectPorts(const std::string& from, const std::string& to) const;

  // How long one processing cycle of the server takes.
  std::chrono::microseconds period() const;
  // The number of the server's latest processing cycle (its frame counter at the cycle's start,
  // in periods): it stands still while the server runs no cycles. No round trip to the server,
  // cheap enough for every message.
  std::uint64_t cycle() const;
  // Whether the server runs its cycles: the cycle moves on within a few periods (waits that long
  // at most). False for a server stopped (SIGSTOP, a wedged driver) or gone.
  bool cycling() const;
  // How long the close may take before it is left behind (BoundedClose); shorter for a server
  // that does not answer.
  void setCloseDeadline(std::chrono::milliseconds deadline) noexcept { closeDeadline_ = deadline; }

  // How many clients the watch has seen go; with awaitClientGone, the owner waits until the
  // watch has seen a client it closed go.
  std::uint64_t clientsGone() const noexcept;
  // Waits until more than `seen` clients have gone, at most `timeout`; false on timeout, and at
  // once when the server sends the watch no notifications (it refused to activate it).
  bool awaitClientGone(std::uint64_t seen, std::chrono::milliseconds timeout) const;
  // Waits, a quarter of a second at most, for a moment in which no other client has come or
  // gone for a while: a client closed then is least likely to be cancelled while handling one.
  void awaitQuiet() const;

 private:
  struct Shared;  // what the callbacks reach; outlives the client if its close is left behind

  JackServerWatch(jack_client_t* client, std::shared_ptr<Shared> shared);

  jack_client_t* client_;
  std::shared_ptr<Shared> shared_;
  std::uint64_t cleanupsAtOpen_;  // libjack's cleanups before the client opened
  std::chrono::milliseconds closeDeadline_;
};

}  // namespace notecast
