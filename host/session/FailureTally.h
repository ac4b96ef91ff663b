#pragma once
// Tells an operator about failures that repeat without drowning the one that matters: the first
// failure of a kind is told in full; after that the kind's running count is told when it
// reaches 10, 100, 1000, ... and, while it keeps repeating, at least every kRepeatInterval; and
// totals() gives each kind's count at the end of a run. A plug-in that fails every DMX change
// would otherwise fill standard error with hundreds of identical lines a second.
//
// A kind is the text of the result ("error 0x800A7531 (...)"), whatever the subject it came with.
//
// Contract: one thread; `report` is called from inside note() and totals().

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace notecast::host {

class FailureTally {
 public:
  using Report = std::function<void(const std::string&)>;
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  static constexpr std::chrono::seconds kRepeatInterval{60};

  // `things` names what fails, plural, for the count lines ("DMX changes").
  FailureTally(std::string things, Report report, Clock clock = &std::chrono::steady_clock::now);

  // One failure: `subject` failed with `result`. The first of a kind is told as
  // "SUBJECT: RESULT"; later ones only as the count.
  void note(const std::string& subject, const std::string& result);
  // Tells every kind that failed more than once with its total.
  void totals() const;

  std::int64_t count(const std::string& result) const;
  std::int64_t total() const noexcept { return total_; }

 private:
  struct Kind {
    std::int64_t count = 0;
    std::int64_t nextMilestone = 10;
    std::chrono::steady_clock::time_point toldAt;  // of the last line about the kind
    std::string lastSubject;
  };

  void tellCount(const std::string& result, Kind& kind, std::chrono::steady_clock::time_point now);

  std::string things_;
  Report report_;
  Clock clock_;
  std::map<std::string, Kind> kinds_;
  std::int64_t total_ = 0;
};

}  // namespace notecast::host
