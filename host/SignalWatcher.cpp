#include "host/SignalWatcher.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace notecast::host {
namespace {

int pipeEnds[2] = {-1, -1};  // [0] read by the main thread, [1] written by the handler

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

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0)
    throw std::runtime_error("cannot watch for stop signals");
  notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalWatcher::drain);
  handle(SIGINT, onSignal);
  handle(SIGTERM, onSignal);
}

SignalWatcher::~SignalWatcher() {
  handle(SIGINT, SIG_DFL);
  handle(SIGTERM, SIG_DFL);
  notifier_.reset();
  ::close(pipeEnds[0]);
  ::close(pipeEnds[1]);
  pipeEnds[0] = pipeEnds[1] = -1;
}

void SignalWatcher::drain() {
  unsigned char byte = 0;
  while (::read(pipeEnds[0], &byte, 1) == 1) emit stopRequested(byte);
}

}  // namespace notecast::host
