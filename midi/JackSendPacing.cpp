#include "midi/JackSendPacing.h"

#include <utility>

namespace notecast {
namespace {

constexpr std::chrono::microseconds kLook{100};
// JACK's frame counter wraps after 2^32 frames; a cycle number far below the last one is a wrap,
// one a little below is the estimate of "now" moving back a little at a cycle's start.
constexpr std::uint64_t kWrapDistance = std::uint64_t{1} << 20;

}  // namespace

JackSendPacing::JackSendPacing(std::function<std::uint64_t()> cycleNow,
                               std::function<void(std::chrono::microseconds)> sleep,
                               std::function<std::chrono::steady_clock::time_point()> clock)
    : cycleNow_(std::move(cycleNow)), sleep_(std::move(sleep)), clock_(std::move(clock)) {}

void JackSendPacing::follow(std::uint64_t cycle) {
  if (cycle == cycle_) return;
  if (cycle < cycle_ && cycle_ - cycle < kWrapDistance) return;
  previous_ = cycle == cycle_ + 1 ? current_ : 0;
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
