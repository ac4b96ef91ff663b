#include "host/SignalWatcher.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace notecast::host {
namespace {

constexpr std::array<int, 3> kCaught{SIGINT, SIGTERM, SIGHUP};

// [0] read by the main thread, [1] written by the handler. Never closed once open: the handler
// may run at any time until the process ends.
int pipeEnds[2] = {-1, -1};

void onSignal(int number) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(number);
  [[maybe_unused]] const ssize_t ignored = ::write(pipeEnds[1], &byte, 1);
  errno = saved;
}

void handle(int number, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(number, &action, nullptr);
}

}  // namespace

void SignalWatcher::catchFromStart() {
  if (pipeEnds[0] >= 0) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0)
    throw std::runtime_error("cannot watch for stop signals");
  for (const int number : kCaught) handle(number, onSignal);
  // The program may have blocked them while it loaded the host; one that came meanwhile is
  // caught now.
  sigset_t caught;
  sigemptyset(&caught);
  for (const int number : kCaught) sigaddset(&caught, number);
  ::sigprocmask(SIG_UNBLOCK, &caught, nullptr);
}

void SignalWatcher::releaseToSystem() {
  if (pipeEnds[0] < 0) return;
  for (const int number : kCaught) handle(number, SIG_DFL);
  unsigned char byte = 0;
  while (::read(pipeEnds[0], &byte, 1) == 1) ::raise(byte);
}

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
  catchFromStart();
  notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
  // Signals that came before are in the pipe already: the notifier tells them once a loop runs.
  connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalWatcher::drain);
}

SignalWatcher::~SignalWatcher() = default;

void SignalWatcher::drain() {
  unsigned char byte = 0;
  while (::read(pipeEnds[0], &byte, 1) == 1) {
    if (byte == SIGHUP) {
      emit reloadRequested();
    } else {
      emit stopRequested(byte);
    }
  }
}

}  // namespace notecast::host
