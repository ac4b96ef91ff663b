#pragma once
// A JACK server of the test's own, so that tests never touch a user's server and can run side
// by side: jackd with the dummy driver (no sound card) under a name unique to the process.
// Starting it points every JACK client the process opens afterwards at it
// (JACK_DEFAULT_SERVER) and forbids libjack to start servers by itself (JACK_NO_START_SERVER).
// Stopped, with its log removed, when the object goes.
//
// libjack names a client's notification socket after the client and the user alone, not the
// server: two processes of one user with JACK clients of the same name (the plug-in's
// "Notecast") break each other's clients even on different servers. Test programs that open
// such clients MUST be marked SERVERS (notecast_add_test): each then gets a /dev/shm of its own,
// or, where no namespace can be made, they run one at a time.

#include <sys/types.h>

#include <memory>
#include <string>

namespace notecast {

class PrivateJackServer {
 public:
  // A server name no other process uses: "<prefix>-<pid>-<serial>".
  static std::string uniqueName(const std::string& prefix);

  // The period of the tests' servers: 5.3 ms at 48 kHz, safe on two cores.
  static constexpr int kDefaultPeriodFrames = 256;
  static constexpr int kSampleRate = 48000;

  // Starts jackd under `name` (dummy driver, kSampleRate, `periodFrames` per period) and waits
  // until clients can connect; null when it did not come up in time, with the reason and
  // jackd's log in *error.
  static std::unique_ptr<PrivateJackServer> start(const std::string& name, std::string* error,
                                                  int periodFrames = kDefaultPeriodFrames);

  PrivateJackServer(const PrivateJackServer&) = delete;
  PrivateJackServer& operator=(const PrivateJackServer&) = delete;
  ~PrivateJackServer() noexcept { stop(); }

  // Asks jackd to quit (SIGTERM), as a user stopping the server does; kills it if it lingers.
  void stop() noexcept;
  // Stops and continues jackd's process (SIGSTOP, SIGCONT): a server that runs no cycles and
  // answers nothing, as a wedged driver leaves it. stop() continues it first.
  void pause() const noexcept;
  void resume() const noexcept;
  const std::string& name() const { return name_; }
  // What jackd has written so far (it says "XRun" for each client late for its cycle).
  std::string log() const;

 private:
  PrivateJackServer(std::string name, pid_t pid, std::string logPath);
  void removeLeftSemaphores() const noexcept;

  std::string name_;
  pid_t pid_;
  std::string logPath_;
};

}  // namespace notecast
