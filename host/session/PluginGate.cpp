#include "host/session/PluginGate.h"

#include <QMetaObject>
#include <utility>

namespace notecast::host {
namespace {

// Queued, never called: the gate may come free deep inside another call's stack.
void post(const QPointer<QObject>& context, std::function<void()> run) {
  if (context) QMetaObject::invokeMethod(context.data(), std::move(run), Qt::QueuedConnection);
}

}  // namespace

PluginGate::Call::Call(PluginGate& gate) noexcept : gate_(gate) {
  ++gate_.depth_;
}

PluginGate::Call::~Call() {
  gate_.leave();
}

void PluginGate::leave() {
  if (--depth_ > 0) return;
  std::vector<Waiter> ready;
  ready.swap(waiters_);
  for (Waiter& waiter : ready) post(waiter.context, std::move(waiter.run));
}

void PluginGate::whenFree(QObject* context, std::function<void()> waiter) {
  if (busy()) {
    waiters_.push_back({context, std::move(waiter)});
  } else {
    post(context, std::move(waiter));
  }
}

}  // namespace notecast::host
