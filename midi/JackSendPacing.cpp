#include "midi/JackSendPacing.h"

#include <utility>

namespace notecast {
namespace {

constexpr std::chrono::microseconds kLook{100};
}  // namespace

JackSendPacing::JackSendPacing(std::function<std::uint64_t()> cycleNow,
                               std::function<void(std::chrono::microseconds)> sleep,
                               std::function<std::chrono::steady_clock::time_point()> clock)
    : cycleNow_(std::move(cycleNow)), sleep_(std::move(sleep)), clock_(std::move(clock)) {}

// The estimate of "now" may step back one cycle at a cycle's start. A cycle number further back
// is a new clock (a server started again, or JACK's frame counter wrapped after 2^32 frames):
// counted as one cycle on, which holds whatever the ring may still hold.
void JackSendPacing::follow(std::uint64_t cycle) {
  if (cycle == cycle_ || cycle + 1 == cycle_) return;
  previous_ = cycle > cycle_ + 1 ? 0 : current_;
  current_ = 0;
  cycle_ = cycle;
}

// JACK's clock is read before a message when kLookEvery has passed since the last look, and
// whenever the count says the ring may be full: a message is counted in the cycle of the last
// look, at most kLookEvery late (which the budget's margin covers).
bool JackSendPacing::makeRoom(std::size_t size, std::chrono::milliseconds patience) {
  const std::size_t need = size + kLengthBytes;
  const auto now = clock_();
  if (now - lastLook_ >= kLookEvery || previous_ + current_ + need > kBudgetBytes) {
    follow(cycleNow_());
    lastLook_ = now;
  }
  std::chrono::microseconds waited{0};
  std::uint64_t waitingSince = cycle_;
  // An empty ring takes any message whole.
  while (previous_ + current_ > 0 && previous_ + current_ + need > kBudgetBytes) {
    if (waited >= patience) return false;
    sleep_(kLook);
    waited += kLook;
    follow(cycleNow_());
    lastLook_ = clock_();
    if (cycle_ != waitingSince) {
      waitingSince = cycle_;
      waited = std::chrono::microseconds{0};
    }
  }
  current_ += need;
  return true;
}

}  // namespace notecast
