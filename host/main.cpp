// notecast-host: loads the host (libnotecast-host-core.so, beside the program in the build, in
// ../lib/notecast once installed) and runs it. Loading the host's libraries (Qt, OLA) takes tens
// of milliseconds; the stop signals are blocked meanwhile, so that one that comes then waits for
// the host's handler and ends the run in order instead of killing it half-started.

#include <dlfcn.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char* kHostLibrary = "libnotecast-host-core.so";
constexpr const char* kInstalledFolder = NOTECAST_INSTALLED_HOST_FOLDER;
constexpr const char* kHostMain = "notecastHostMain";
constexpr int kExitFailure = 1;

// The folder of this program, with a trailing '/'. By full path rather than the run path: a
// sanitizer's dlopen would search its own run path instead of the program's.
std::string programFolder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return {};
  const std::string program(path, static_cast<std::size_t>(length));
  return program.substr(0, program.rfind('/') + 1);
}

void* loadHost() {
  const std::string folder = programFolder();
  void* host = dlopen((folder + kHostLibrary).c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (!host)
    host = dlopen((folder + kInstalledFolder + kHostLibrary).c_str(), RTLD_NOW | RTLD_GLOBAL);
  return host;
}

}  // namespace

int main(int argc, char** argv) {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
  void* host = loadHost();  // never unloaded
  using HostMain = int (*)(int, char**);
  auto* run = host ? reinterpret_cast<HostMain>(dlsym(host, kHostMain)) : nullptr;
  if (!run) {
    std::fprintf(stderr, "notecast-host: cannot load the host: %s\n", dlerror());
    return kExitFailure;
  }
  return run(argc, argv);
}
