#include "core/OutputChangeRelay.h"

#include <QMetaObject>
#include <QObject>
#include <atomic>

namespace notecast {

// What the notifier holds: it may be called on any thread, and the queued call runs after the
// relay may be gone.
struct OutputChangeRelay::Shared {
  QObject* context;
  std::function<void()> onChange;
  std::atomic<bool> queued{false};
  std::atomic<bool> alive{true};

  static void queue(const std::shared_ptr<Shared>& shared) {
    if (shared->queued.exchange(true)) return;  // one call waiting is enough
    QMetaObject::invokeMethod(
        shared->context,
        [shared] {
          shared->queued.store(false);  // before the call: a change during it queues another
          if (shared->alive.load()) shared->onChange();
        },
        Qt::QueuedConnection);
  }
};

OutputChangeRelay::OutputChangeRelay(std::function<void()> onChange)
    : shared_(std::make_shared<Shared>()) {
  shared_->context = &context_;
  shared_->onChange = std::move(onChange);
  timer_.setInterval(kPollMilliseconds);
  QObject::connect(&timer_, &QTimer::timeout, [shared = shared_] { shared->onChange(); });
}

OutputChangeRelay::~OutputChangeRelay() {
  shared_->alive.store(false);
}

std::function<void()> OutputChangeRelay::notifier() const {
  return [shared = shared_] { Shared::queue(shared); };
}

void OutputChangeRelay::wake() const {
  Shared::queue(shared_);
}

void OutputChangeRelay::setPolling(bool on) {
  if (on == timer_.isActive()) return;
  if (on) {
    timer_.start();
  } else {
    timer_.stop();
  }
}

}  // namespace notecast
