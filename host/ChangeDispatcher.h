#pragma once
// Hands a DMX input's channel changes to the plug-in through the session's PluginGate: the input
// holds its frames while the gate is busy (a plug-in call in progress, perhaps with a box of the
// plug-in's open) and sends them in order once it is free, so nothing waits here and every
// delivery is a call of its own inside the gate, never one inside another.
//
// A failure result of the delivery (or an exception it throws) goes to the failure handler,
// after the delivery's call has ended; the next change is delivered all the same.
//
// Contract: main thread; `input` MUST outlive the dispatcher, and `gate` the input.

#include <QObject>
#include <functional>
#include <string>

#include "abi/HResult.h"
#include "host/dmx/DmxInput.h"
#include "host/session/PluginGate.h"

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

  ChangeDispatcher(DmxInput& input, PluginGate& gate, Delivery delivery, FailureHandler onFailure);

 private:
  void deliver(int channel, int value);

  PluginGate& gate_;
  Delivery delivery_;
  FailureHandler onFailure_;
};

}  // namespace notecast::host
