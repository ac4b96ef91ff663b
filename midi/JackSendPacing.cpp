#include "midi/JackSendPacing.h"

#include <utility>

namespace notecast {

JackSendPacing::JackSendPacing(std::function<std::uint64_t()> cycleNow,
                               std::function<void(std::chrono::microseconds)> sleep,
                               std::function<std::chrono::steady_clock::time_point()> clock)
    : cycleNow_(std::move(cycleNow)), sleep_(std::move(sleep)), clock_(std::move(clock)) {}

// The estimate of "now" may step back one cycle at a cycle's start. A cycle number further back
// is a new clock (a server started again, or JACK's frame counter wrapped after 2^32 frames):
// counted as one cycle on, which holds whatever the ring may still hold.
void JackSendPacing::follow(std::uint64_t cycle, std::chrono::steady_clock::time_point now) {
  lastLook_ = now;
  if (!looked_) {
    looked_ = true;
    cycle_ = cycle;
    movedAt_ = now;
    return;
  }
  if (cycle == cycle_ || cycle + 1 == cycle_) return;
  stalled_ = false;
  movedAt_ = now;
  previous_ = cycle > cycle_ + 1 ? 0 : current_;
  current_ = 0;
  cycle_ = cycle;
}

// JACK's clock is read before a message when kLookEvery has passed since the last look, and
// whenever the count says the ring may be full: a message is counted in the cycle of the last
// look, at most kLookEvery late (which the budget's margin covers). The server counts as stalled
// once no cycle has run for `patience`, whether or not the ring has room: what goes into the
// ring then would only go out when the server runs again.
bool JackSendPacing::makeRoom(std::size_t size, std::chrono::milliseconds patience) {
  const std::size_t need = size + kLengthBytes;
  auto now = clock_();
  if (!looked_ || now - lastLook_ >= kLookEvery || previous_ + current_ + need > kBudgetBytes)
    follow(cycleNow_(), now);
  // An empty ring takes any message whole.
  for (;;) {
    if (stalled_ || now - movedAt_ >= patience) {
      stalled_ = true;
      return false;
    }
    if (previous_ + current_ == 0 || previous_ + current_ + need <= kBudgetBytes) break;
    sleep_(kLookEvery);
    now = clock_();
    follow(cycleNow_(), now);
  }
  current_ += need;
  return true;
}

bool JackSendPacing::lookAgain() {
  follow(cycleNow_(), clock_());
  return stalled_;
}

void JackSendPacing::reset() noexcept {
  looked_ = false;
  previous_ = current_ = 0;
  stalled_ = false;
}

}  // namespace notecast
