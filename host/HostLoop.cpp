#include "host/HostLoop.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include "host/ExitStatus.h"

namespace notecast::host {

HostLoop::HostLoop() {
  QGuiApplication::setQuitOnLastWindowClosed(false);
}

int HostLoop::run() {
  if (!status_) QCoreApplication::exec();
  return status_.value_or(kExitSuccess);
}

// QCoreApplication::quit() would first ask every window to close and give up when one refuses;
// exit() ends the loops without asking. Asked again (a second stop signal while a box is open
// during the shut-down), it ends the loops that run then.
void HostLoop::end(int status) {
  if (!status_) status_ = status;
  QCoreApplication::exit(*status_);
}

}  // namespace notecast::host
