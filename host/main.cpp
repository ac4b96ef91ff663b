// notecast-host: loads the host (libnotecast-host-core.so, beside the program or in
// ../lib/notecast) and runs it. Loading the host's libraries (Qt, OLA) takes tens of
// milliseconds; the stop signals are blocked meanwhile, so that one that comes then waits for the
// host's handler and ends the run in order instead of killing it half-started.

#include <dlfcn.h>
#include <signal.h>

#include <cstdio>

namespace {

constexpr const char* kHostLibrary = "libnotecast-host-core.so";
constexpr const char* kHostMain = "notecastHostMain";
constexpr int kExitFailure = 1;

}  // namespace

int main(int argc, char** argv) {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
  // Found through this program's run path; never unloaded.
  void* host = dlopen(kHostLibrary, RTLD_NOW | RTLD_GLOBAL);
  using HostMain = int (*)(int, char**);
  auto* run = host ? reinterpret_cast<HostMain>(dlsym(host, kHostMain)) : nullptr;
  if (!run) {
    std::fprintf(stderr, "notecast-host: cannot load the host: %s\n", dlerror());
    return kExitFailure;
  }
  return run(argc, argv);
}
