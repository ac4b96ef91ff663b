#pragma once
// Keeps RtMidi's JACK output from ever finding its ring full. RtMidi hands each message to its
// JACK process callback through a ring of 16 KiB (4 bytes of length, then the message), and a
// message that finds the ring full makes its send wait, spinning, until the callback has made
// room: for as long as the server runs no cycles, at whatever priority the sender runs. The
// callback empties the ring once per JACK cycle, so the ring holds at most what was written
// during the previous cycle and the current one; the pacing keeps that within the ring and,
// when a burst would go beyond, waits (sleeping) for the next cycle. A live show (2048 changes a
// frame, some 14 KiB) never waits; a flood of changes goes out at the pace JACK takes it, none
// lost.
//
// A server whose cycles stood still for a whole `patience` is stalled: from then on every message
// is refused at once, without waiting, until the cycles move again. What went into the ring
// before (at most the last `patience`) goes out when it runs again; nothing else is kept.
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

  // Makes room for a message of `size` bytes, waiting for later cycles when needed; false, with
  // nothing counted, once the cycles have stood still for `patience`, and at once while stalled.
  bool makeRoom(std::size_t size, std::chrono::milliseconds patience);
  // Whether the server was found standing still and has not run a cycle since.
  bool stalled() const noexcept { return stalled_; }
  // Reads the cycle clock now; whether the stall goes on.
  bool lookAgain();
  // Forgets the counts and the stall (another server, or none).
  void reset() noexcept;

 private:
  // Takes `cycle` as the cycle running at `now`.
  void follow(std::uint64_t cycle, std::chrono::steady_clock::time_point now);

  std::function<std::uint64_t()> cycleNow_;
  std::function<void(std::chrono::microseconds)> sleep_;
  std::function<std::chrono::steady_clock::time_point()> clock_;
  bool looked_ = false;  // cycle_ and movedAt_ hold a look
  std::chrono::steady_clock::time_point lastLook_{};
  std::chrono::steady_clock::time_point movedAt_{};  // when the cycle was last seen to move
  std::uint64_t cycle_ = 0;
  std::size_t previous_ = 0;  // bytes written during the cycle before cycle_
  std::size_t current_ = 0;   // bytes written during cycle_
  bool stalled_ = false;
};

}  // namespace notecast
