#pragma once
// The messages the plug-in sends, kept for the web page: the last kKept of them with the time
// each went out, and how many went out in all. Told inside the plug-in's send (abi/
// IOutputDetails.h), so it only copies a few bytes: the page's words are made later, for the
// few messages a page is shown (LiveFeed), never for each message sent.
//
// Contract: user-interface thread.

#include <QDateTime>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "abi/IOutputDetails.h"

namespace notecast::host {

class MessageTrail final : public IMessageSink {
 public:
  static constexpr std::size_t kKept = 64;

  void MessageSent(const std::uint8_t* bytes, std::int32_t length) noexcept override;

  // Messages told so far.
  std::int64_t total() const noexcept { return total_; }
  // The newest `count` messages (at most kKept, and only those told after the first `after`),
  // newest first, each as --monitor words it.
  std::vector<std::string> newestLines(std::size_t count, std::int64_t after = 0) const;

 private:
  struct Sent {
    qint64 msecsSinceEpoch = 0;
    std::array<std::uint8_t, 3> bytes{};
    std::int32_t length = 0;
  };

  std::array<Sent, kKept> kept_{};
  std::int64_t total_ = 0;
};

}  // namespace notecast::host
