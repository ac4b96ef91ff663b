#include "midi/MidiChangeSignal.h"

namespace notecast {

void MidiChangeSignal::setNotifier(std::function<void()> notifier) {
  const std::lock_guard lock(mutex_);
  if (!muted_) notifier_ = std::move(notifier);
}

void MidiChangeSignal::raise() noexcept {
  changed_.store(true);
  const std::lock_guard lock(mutex_);
  if (!notifier_) return;
  try {
    notifier_();
  } catch (...) {  // a wake-up that fails leaves the mark; the next recover() finds the change
  }
}

void MidiChangeSignal::mute() noexcept {
  const std::lock_guard lock(mutex_);
  muted_ = true;
  notifier_ = nullptr;
}

}  // namespace notecast
