#include "tests/support/PrivateJackServer.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "midi/JackShmRegistry.h"

namespace notecast {
namespace {

using namespace std::chrono_literals;
constexpr auto kStartTimeout = 5s;
constexpr auto kStopTimeout = 3s;
constexpr auto kPollInterval = 50ms;
constexpr auto kStopPollInterval = 10ms;
constexpr int kExecFailed = 127;
// libjack names a client's notification socket after the client and user, not the server: a
// name of this process's own keeps parallel tests from clashing.
constexpr const char* kProbeClientPrefix = "notecast-probe-";
// The dummy driver needs no sound card. jackd schedules in real time where it may (root): that
// keeps messages from being dropped when the machine is busy; without the right it runs on.
constexpr const char* kSharedMemory = "/dev/shm";
constexpr const char* kSemaphorePrefix = "jack_sem.";

void ignoreJackMessage(const char*) {}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool serverAnswers() {
  // The test's own clients take up a registry made anew, as the host's do.
  JackShmRegistry::follow();
  const std::string name = kProbeClientPrefix + std::to_string(::getpid());
  jack_client_t* probe = jack_client_open(name.c_str(), JackNoStartServer, nullptr);
  if (!probe) return false;
  jack_client_close(probe);
  return true;
}

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void runJackd(const std::string& name, const std::string& rate,
                           const std::string& periodFrames, const std::string& logPath) {
  const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (log >= 0) {
    ::dup2(log, STDOUT_FILENO);
    ::dup2(log, STDERR_FILENO);
  }
  ::execlp("jackd", "jackd", "-n", name.c_str(), "-d", "dummy", "-r", rate.c_str(), "-p",
           periodFrames.c_str(), static_cast<char*>(nullptr));
  ::_exit(kExecFailed);
}

}  // namespace

std::string PrivateJackServer::uniqueName(const std::string& prefix) {
  static std::atomic<int> serial{0};
  return prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
}

std::unique_ptr<PrivateJackServer> PrivateJackServer::start(const std::string& name,
                                                            std::string* error, int periodFrames) {
  const std::string rate = std::to_string(kSampleRate), period = std::to_string(periodFrames);
  jack_set_error_function(ignoreJackMessage);
  jack_set_info_function(ignoreJackMessage);
  ::setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
  ::setenv("JACK_NO_START_SERVER", "1", 1);
  const std::string logPath = (std::filesystem::temp_directory_path() / (name + ".log")).string();
  const pid_t pid = ::fork();
  if (pid < 0) {
    *error = "cannot fork for jackd";
    return nullptr;
  }
  if (pid == 0) runJackd(name, rate, period, logPath);
  std::unique_ptr<PrivateJackServer> server(new PrivateJackServer(name, pid, logPath));
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (serverAnswers()) return server;
    if (::waitpid(pid, nullptr, WNOHANG) == pid) {
      server->pid_ = 0;  // already gone: nothing to stop
      break;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
  *error = "jackd " + name + " did not come up; its log:\n" + readFile(logPath);
  return nullptr;
}

PrivateJackServer::PrivateJackServer(std::string name, pid_t pid, std::string logPath)
    : name_(std::move(name)), pid_(pid), logPath_(std::move(logPath)) {}

std::string PrivateJackServer::log() const {
  return readFile(logPath_);
}

void PrivateJackServer::pause() const noexcept {
  if (pid_ > 0) ::kill(pid_, SIGSTOP);
}

void PrivateJackServer::resume() const noexcept {
  if (pid_ > 0) ::kill(pid_, SIGCONT);
}

void PrivateJackServer::stop() noexcept {
  if (pid_ > 0) {
    resume();
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
    while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() >= deadline) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        break;
      }
      std::this_thread::sleep_for(kStopPollInterval);
    }
    pid_ = 0;
  }
  std::error_code ignored;
  std::filesystem::remove(logPath_, ignored);
  removeLeftSemaphores();
}

// Clients still connected when a server stops leave their semaphores behind, named
// "jack_sem.<uid>_<server>_<client>".
void PrivateJackServer::removeLeftSemaphores() const noexcept {
  const std::string infix = "_" + name_ + "_";
  std::error_code error;
  std::filesystem::directory_iterator entry(kSharedMemory, error), end;
  for (; !error && entry != end; entry.increment(error)) {
    const std::string file = entry->path().filename().string();
    std::error_code ignored;
    if (file.starts_with(kSemaphorePrefix) && file.find(infix) != std::string::npos)
      std::filesystem::remove(entry->path(), ignored);
  }
}

}  // namespace notecast
