#include "host/dmx/ChangeDispatcher.h"

#include <exception>
#include <optional>

#include "host/dmx/PluginCallScope.h"

namespace notecast::host {

ChangeDispatcher::ChangeDispatcher(Delivery delivery, FailureHandler onFailure, QObject* parent)
    : QObject(parent), delivery_(std::move(delivery)), onFailure_(std::move(onFailure)) {}

void ChangeDispatcher::deliver(int channel, int value) {
  if (queue_.empty() && !PluginCallScope::inProgress()) {
    deliverNow({channel, value});
    return;
  }
  queue_.push_back({channel, value});
  scheduleDrain();
}

void ChangeDispatcher::scheduleDrain() {
  if (drainScheduled_) return;
  drainScheduled_ = true;
  PluginCallScope::whenIdle(this, [this] {
    drainScheduled_ = false;
    drain();
  });
}

// A change that arrives during one of these deliveries queues behind the rest, and this loop
// takes it in turn.
void ChangeDispatcher::drain() {
  while (!queue_.empty()) {
    if (PluginCallScope::inProgress()) {
      scheduleDrain();
      return;
    }
    const ChannelChange change = queue_.front();
    queue_.pop_front();
    deliverNow(change);
  }
}

void ChangeDispatcher::deliverNow(const ChannelChange& change) {
  std::optional<Failure> failure;
  {
    const PluginCallScope scope;
    try {
      const HRESULT result = delivery_(change.channel, change.value);
      if (FAILED(result)) failure = Failure{change.channel, change.value, result, {}};
    } catch (const std::exception& error) {
      failure = Failure{change.channel, change.value, E_FAIL, error.what()};
    }
  }
  if (failure) onFailure_(*failure);
}

}  // namespace notecast::host
