#pragma once
// Keeps RtMidi's JACK output from dropping messages. RtMidi hands each message to its JACK
// process callback through a ring of 16 KiB (4 bytes of length, then the message) and drops a
// message that finds the ring full, without a word. The callback empties the ring once per JACK
// cycle, so the ring holds at most what was written during the previous cycle and the current
// one; the pacing keeps that within the ring and, when a burst would go beyond, waits for the
// next cycle. A live show (2048 changes a frame, some 14 KiB) never waits; a flood of changes
// goes out at the pace JACK takes it, none lost.
// User-interface thread (the sender's).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace notecast {

class JackSendPacing {
 public:
  // RtMidi's ring, less one byte (a JACK ring holds one byte less than its size) and a margin
  // for the messages of one kLookEvery counted in the cycle before.
  static constexpr std::size_t kBudgetBytes = 16384 - 1 - 1024;
  static constexpr std::chrono::microseconds kLookEvery{100};
  static constexpr std::size_t kLengthBytes = sizeof(int);  // RtMidi's length before a message

  // `cycleNow`: the number of the JACK cycle running now (a few dozen nanoseconds: read only
  // every kLookEvery). `sleep`: waits a moment. `clock`: the steady clock.
  JackSendPacing(std::function<std::uint64_t()> cycleNow,
                 std::function<void(std::chrono::microseconds)> sleep,
                 std::function<std::chrono::steady_clock::time_point()> clock);

  // Makes room for a message of `size` bytes, waiting for later cycles when needed; false when
  // the cycles stood still for `patience` (JACK processes nothing), and nothing is counted.
  bool makeRoom(std::size_t size, std::chrono::milliseconds patience);

 private:
  void follow(std::uint64_t cycle);

  std::function<std::uint64_t()> cycleNow_;
  std::function<void(std::chrono::microseconds)> sleep_;
  std::function<std::chrono::steady_clock::time_point()> clock_;
  std::chrono::steady_clock::time_point lastLook_{};
  std::uint64_t cycle_ = 0;
  std::size_t previous_ = 0;  // bytes written during the cycle before cycle_
  std::size_t current_ = 0;   // bytes written during cycle_
};

}  // namespace notecast
