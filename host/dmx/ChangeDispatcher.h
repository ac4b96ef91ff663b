#pragma once
// Delivers DMX channel changes to the plug-in one at a time and in order.
//
// A change is delivered at once when no plug-in call is in progress (PluginCallScope) and none
// waits before it. Otherwise it joins a FIFO: a message box the plug-in raises while a change is
// delivered runs a nested event loop, and the changes that arrive in it must not start a second
// delivery inside the first. The FIFO is drained from the event loop once the outermost plug-in
// call is over, never recursively. Each delivery holds a PluginCallScope itself.
//
// A DmxInput emits nothing while a plug-in call is in progress: it keeps its frames back itself,
// bounded and folded (FrameQueue), so fed from an input the FIFO here stays empty and memory
// stays flat however long the plug-in is held up. The FIFO guards every other caller.
//
// A failure result of the delivery (or an exception it throws) goes to the failure handler,
// after the delivery's scope has ended; the next change is delivered all the same.
//
// Contract: lives on the user-interface thread; deliver() is called there (it is a fit for
// DmxInput::changed).

#include <QObject>
#include <cstddef>
#include <deque>
#include <functional>
#include <string>

#include "abi/HResult.h"
#include "host/dmx/ChannelState.h"

namespace notecast::host {

class ChangeDispatcher : public QObject {
  Q_OBJECT

 public:
  // Hands one change to the plug-in (MessageHandle(15, channel, value)); its result.
  using Delivery = std::function<HRESULT(int channel, int value)>;
  struct Failure {
    int channel = 0;
    int value = 0;
    HRESULT result = S_OK;
    std::string reason;  // the exception's text; empty for a failure result
  };
  using FailureHandler = std::function<void(const Failure&)>;

  ChangeDispatcher(Delivery delivery, FailureHandler onFailure, QObject* parent = nullptr);

  void deliver(int channel, int value);
  // Changes queued, not yet delivered.
  std::size_t waiting() const { return queue_.size(); }

 private:
  void scheduleDrain();
  void drain();
  void deliverNow(const ChannelChange& change);

  Delivery delivery_;
  FailureHandler onFailure_;
  std::deque<ChannelChange> queue_;
  bool drainScheduled_ = false;
};

}  // namespace notecast::host
