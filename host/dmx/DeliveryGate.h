#pragma once
// Whether the receivers of a DmxInput's changes may be handed one now, as the input's owner
// tells it: while busy() says no (a call into the plug-in is in progress) the input holds its
// frames, and asks whenFree() to wake it once they may go.
//
// Contract: both are called on the main thread. busy() is asked before every change. whenFree()
// MUST run `resume` from the event loop, never from inside itself, and drop it when `context` is
// destroyed first. An empty busy() means never busy.

#include <QObject>
#include <functional>

namespace notecast::host {

struct DeliveryGate {
  std::function<bool()> busy;
  std::function<void(QObject* context, std::function<void()> resume)> whenFree;
};

}  // namespace notecast::host
