#include "host/session/FailureTally.h"

#include <utility>

namespace notecast::host {

FailureTally::FailureTally(std::string things, Report report, Clock clock)
    : things_(std::move(things)), report_(std::move(report)), clock_(std::move(clock)) {}

void FailureTally::note(const std::string& subject, const std::string& result) {
  ++total_;
  const auto now = clock_();
  Kind& kind = kinds_[result];
  ++kind.count;
  kind.lastSubject = subject;
  if (kind.count == 1) {
    report_(subject + ": " + result);
    kind.toldAt = now;
    return;
  }
  if (kind.count == kind.nextMilestone || now - kind.toldAt >= kRepeatInterval) {
    tellCount(result, kind, now);
  }
}

void FailureTally::tellCount(const std::string& result, Kind& kind,
                             std::chrono::steady_clock::time_point now) {
  while (kind.nextMilestone <= kind.count) kind.nextMilestone *= 10;
  kind.toldAt = now;
  report_(result + " again: " + std::to_string(kind.count) + " " + things_ +
          " have failed with it so far (the last: " + kind.lastSubject + ")");
}

void FailureTally::totals() const {
  for (const auto& [result, kind] : kinds_) {
    if (kind.count < 2) continue;
    report_(result + ": " + std::to_string(kind.count) + " " + things_ + " failed with it in all");
  }
}

std::int64_t FailureTally::count(const std::string& result) const {
  const auto found = kinds_.find(result);
  return found == kinds_.end() ? 0 : found->second.count;
}

}  // namespace notecast::host
