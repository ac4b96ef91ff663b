#pragma once
// What the plug-in's output has sent over the plug-in's life: counts of messages that went out
// and that did not, and the last few that went out, for an operator to see that MIDI flows.
// Kept by the plug-in's core beside the output control, so it outlives the control's unload and
// reload.
// User-interface thread only; recording is cheap enough for every message (no allocation once
// the ring of recent messages is full).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace notecast {

class SendLog {
 public:
  static constexpr std::size_t kRecentMessages = 8;

  // A send the output carried out for these byte properties: it went out, as MidiWire puts it
  // on the wire, when `status` starts a short message, and is counted as not sent otherwise.
  // True when it went out.
  bool recordSend(std::int32_t status, std::int32_t data1, std::int32_t data2) noexcept;
  void recordNotSent() noexcept { ++notSent_; }

  std::int64_t sent() const noexcept { return sent_; }
  std::int64_t notSent() const noexcept { return notSent_; }
  // The bytes of the last message that went out, as on the wire; none before the first. Valid
  // until the next recordSend.
  std::span<const unsigned char> lastSent() const noexcept;
  // The recent messages, oldest first, one per line ("90 40 7F"); "" before the first.
  std::string recentLines() const;

 private:
  struct Message {
    std::array<unsigned char, 3> bytes{};
    std::uint8_t length = 0;
  };

  std::int64_t sent_ = 0;
  std::int64_t notSent_ = 0;
  std::array<Message, kRecentMessages> recent_{};
  std::size_t next_ = 0;  // where the next message goes in the ring
};

}  // namespace notecast
