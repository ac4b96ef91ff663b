// notecast-jack-capture NAME: a JACK client with the MIDI input port NAME:in that counts what
// reaches it, for tests whose reader must live in a process of its own (run through pw-jack, it
// is a client of PipeWire's JACK). Prints "ready" once its port exists, and on SIGTERM or SIGINT
// the number of messages it received; status 1 when the server refuses the client.

#include <signal.h>

#include <cstdio>
#include <string>

#include "tests/support/JackMidiCounter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: notecast-jack-capture NAME\n");
    return 2;
  }
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);  // before libjack's threads exist, which inherit it
  std::string error;
  const auto counter = notecast::testing::JackMidiCounter::open(argv[1], &error);
  if (!counter) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  int signal = 0;
  sigwait(&stop, &signal);
  std::printf("%lld\n", static_cast<long long>(counter->messages()));
  return 0;
}
