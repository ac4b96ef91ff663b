#include "host/dmx/PluginCallScope.h"

#include <QMetaObject>
#include <QPointer>
#include <utility>
#include <vector>

namespace notecast::host {
namespace {

struct Waiter {
  QPointer<QObject> context;
  std::function<void()> run;
};

int depth = 0;
std::vector<Waiter> waiters;

// Queued, not called: the scope may end deep inside another call's stack.
void post(Waiter waiter) {
  if (waiter.context) {
    QMetaObject::invokeMethod(waiter.context.data(), std::move(waiter.run), Qt::QueuedConnection);
  }
}

}  // namespace

PluginCallScope::PluginCallScope() noexcept {
  ++depth;
}

PluginCallScope::~PluginCallScope() {
  if (--depth > 0) return;
  std::vector<Waiter> ready;
  ready.swap(waiters);
  for (Waiter& waiter : ready) post(std::move(waiter));
}

bool PluginCallScope::inProgress() noexcept {
  return depth > 0;
}

void PluginCallScope::whenIdle(QObject* context, std::function<void()> waiter) {
  if (depth > 0) {
    waiters.push_back({context, std::move(waiter)});
  } else {
    post({context, std::move(waiter)});
  }
}

}  // namespace notecast::host
