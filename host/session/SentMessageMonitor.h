#pragma once
// --monitor: every MIDI message the plug-in sends, one line on the given stream as it goes out,
// with the time, the bytes and their meaning:
//   12:04:31.207  90 3c 64  note on  ch 1  note 60  velocity 100
// The plug-in tells the sink inside the call that sent the message (abi/IOutputDetails.h).
//
// Contract: user-interface thread; the monitor outlives its place in the plug-in (the owner hands
// the plug-in null before the monitor ends).

#include <QTime>
#include <cstdint>
#include <ostream>
#include <string>

#include "abi/IOutputDetails.h"

namespace notecast::host {

// "note on  ch 1  note 60  velocity 100" for the bytes of one MIDI channel message; what the
// bytes are when they are none ("2 bytes, not a channel message").
std::string describeMidiMessage(const std::uint8_t* bytes, std::int32_t length);

// The monitor's line for one message sent at `time` (local time), without a line end.
std::string sentMessageLine(const QTime& time, const std::uint8_t* bytes, std::int32_t length);

class SentMessageMonitor final : public IMessageSink {
 public:
  explicit SentMessageMonitor(std::ostream& out) : out_(out) {}

  void MessageSent(const std::uint8_t* bytes, std::int32_t length) noexcept override;

 private:
  std::ostream& out_;
};

}  // namespace notecast::host
