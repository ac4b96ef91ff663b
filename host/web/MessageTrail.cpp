#include "host/web/MessageTrail.h"

#include <algorithm>

#include "host/session/SentMessageMonitor.h"

namespace notecast::host {

void MessageTrail::MessageSent(const std::uint8_t* bytes, std::int32_t length) noexcept {
  Sent& slot = kept_[static_cast<std::size_t>(total_ % static_cast<std::int64_t>(kKept))];
  slot.msecsSinceEpoch = QDateTime::currentMSecsSinceEpoch();
  slot.length = std::max(0, length);
  std::copy_n(bytes, std::min<std::size_t>(slot.bytes.size(), slot.length), slot.bytes.begin());
  ++total_;
}

std::vector<std::string> MessageTrail::newestLines(std::size_t count, std::int64_t after) const {
  const auto available = static_cast<std::size_t>(
      std::clamp<std::int64_t>(total_ - after, 0, static_cast<std::int64_t>(kKept)));
  count = std::min(count, available);
  std::vector<std::string> lines;
  lines.reserve(count);
  // The local time of each from one look at the time zone: the messages shown are a fraction of
  // a second old.
  constexpr qint64 kMsecsPerDay = 86400000;
  const qint64 offsetMsecs = QDateTime::currentDateTime().offsetFromUtc() * qint64{1000};
  for (std::size_t i = 0; i < count; ++i) {
    const Sent& sent = kept_[static_cast<std::size_t>((total_ - 1 - static_cast<std::int64_t>(i)) %
                                                      static_cast<std::int64_t>(kKept))];
    const qint64 local =
        ((sent.msecsSinceEpoch + offsetMsecs) % kMsecsPerDay + kMsecsPerDay) % kMsecsPerDay;
    const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(local));
    lines.push_back(
        sentMessageLine(time, sent.bytes.data(), std::min<std::int32_t>(sent.length, 3)));
  }
  return lines;
}

}  // namespace notecast::host
