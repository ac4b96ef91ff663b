#include "midi/SendLog.h"

#include <algorithm>

#include "midi/MidiWire.h"

namespace notecast {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

bool SendLog::recordSend(std::int32_t status, std::int32_t data1, std::int32_t data2) noexcept {
  const std::size_t length = MidiWire::messageLength(status);
  if (length == 0) {
    ++notSent_;
    return false;
  }
  Message& slot = recent_[next_];
  slot.bytes = {static_cast<unsigned char>(status), MidiWire::dataByte(data1),
                MidiWire::dataByte(data2)};
  slot.length = static_cast<std::uint8_t>(length);
  next_ = (next_ + 1) % recent_.size();
  ++sent_;
  return true;
}

std::span<const unsigned char> SendLog::lastSent() const noexcept {
  if (sent_ == 0) return {};
  const Message& last = recent_[(next_ + recent_.size() - 1) % recent_.size()];
  return {last.bytes.data(), last.length};
}

std::string SendLog::recentLines() const {
  std::string lines;
  const std::size_t kept = static_cast<std::size_t>(std::min<std::int64_t>(sent_, kRecentMessages));
  // The oldest kept message sits where the next one will go once the ring is full.
  const std::size_t first = (next_ + recent_.size() - kept) % recent_.size();
  for (std::size_t i = 0; i < kept; ++i) {
    const Message& message = recent_[(first + i) % recent_.size()];
    for (std::uint8_t b = 0; b < message.length; ++b) {
      if (b > 0) lines += ' ';
      lines += kHexDigits[message.bytes[b] >> 4];
      lines += kHexDigits[message.bytes[b] & 0x0F];
    }
    lines += '\n';
  }
  return lines;
}

}  // namespace notecast
