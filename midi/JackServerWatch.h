#pragma once
// A port-less JACK client that watches the server for the output control. RtMidi neither tells
// when the JACK server stops nor when the port it sends to goes away, and once its client is
// cut off from the server it busy-waits in sendMessage as soon as its buffer is full. The
// control asks the watch before every send so that it never sends into a dead server.
// The watch's client never starts a server (JackNoStartServer) and is not activated: it takes
// no part in the server's processing cycle.

#include <jack/jack.h>

#include <atomic>
#include <memory>
#include <string>

namespace notecast {

class JackServerWatch {
 public:
  // The client is "Notecast-watch-<pid>": libjack names a client's notification socket after
  // the client and user alone, so equal names in two processes clash even on different servers.
  static constexpr const char* kClientNamePrefix = "Notecast-watch-";

  // Watches the server that JACK_DEFAULT_SERVER names (JACK's default when unset); null when no
  // such server runs.
  static std::unique_ptr<JackServerWatch> connect();

  JackServerWatch(const JackServerWatch&) = delete;
  JackServerWatch& operator=(const JackServerWatch&) = delete;
  ~JackServerWatch() noexcept;

  // False from the moment the server has shut down or dropped this client; any thread.
  bool running() const noexcept { return running_.load(); }
  // Whether a port of this full name ("client:port") exists. Reads the server's shared port
  // table, without a round trip to the server: cheap enough for every message.
  bool hasPort(const std::string& name) const;

 private:
  explicit JackServerWatch(jack_client_t* client);
  // Called on a JACK thread.
  static void onShutdown(void* watch);

  jack_client_t* client_;
  std::atomic<bool> running_{true};
};

}  // namespace notecast
