#include "midi/SendLog.h"

#include <algorithm>

namespace notecast {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

void SendLog::recordSent(const std::vector<unsigned char>& bytes) noexcept {
  Message& slot = recent_[next_];
  slot.length = static_cast<std::uint8_t>(std::min(bytes.size(), slot.bytes.size()));
  std::copy_n(bytes.begin(), slot.length, slot.bytes.begin());
  next_ = (next_ + 1) % recent_.size();
  ++sent_;
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
