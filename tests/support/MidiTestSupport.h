#pragma once
// What the MIDI output tests share: the device reports a control made, a JACK client that
// reads MIDI as a synthesizer would, and waiting for JACK's asynchronous changes.

#include <RtMidi.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "abi/RuntimeError.h"
#include "midi/MidiOutputControl.h"

namespace notecast::testing {

using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;

constexpr auto kJackSettles = 2s;  // ports come and go about 0.1 s after a client does
constexpr auto kPoll = 10ms;
// The MIDI output control's device number of the plug-in's own port.
constexpr std::int32_t kVirtualDevice = -1;

inline bool waitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = kJackSettles) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

// The error number a call fails with; nothing when it succeeds.
inline std::optional<std::int32_t> failureOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const RuntimeError& error) {
    return error.number();
  }
  return std::nullopt;
}

inline std::int32_t number(MidiError error) {
  return static_cast<std::int32_t>(error);
}

class ReportLog {
 public:
  struct Report {
    MidiReportCode code;
    std::string text;
  };

  MidiOutputControl::DeviceReport handler() {
    return [this](std::int16_t& code, std::string& text) {
      reports_.push_back({static_cast<MidiReportCode>(code), text});
    };
  }
  int count(MidiReportCode code) const {
    int n = 0;
    for (const Report& report : reports_) n += report.code == code;
    return n;
  }
  const std::vector<Report>& all() const { return reports_; }
  // "code text" lines, for failure messages.
  std::string describe() const {
    std::string lines;
    for (const Report& report : reports_)
      lines += std::to_string(static_cast<int>(report.code)) + " " + report.text + "\n";
    return lines;
  }

 private:
  std::vector<Report> reports_;
};

// A client name of this process's own: see PrivateJackServer.h for why names must differ.
inline std::string ownClientName(const std::string& name) {
  return name + "-" + std::to_string(::getpid());
}

// Makes `in`'s port "in" and connects the output port `source` to it; false when there is none.
inline bool openPortFrom(RtMidiIn& in, const std::string& source) {
  for (unsigned int i = 0; i < in.getPortCount(); ++i) {
    if (in.getPortName(i) != source) continue;
    in.openPort(i, "in");
    return true;
  }
  return false;
}

// A JACK client with one MIDI input port, "<client>:in".
class MidiReader {
 public:
  explicit MidiReader(const std::string& client) : in_(RtMidi::UNIX_JACK, client) {
    in_.ignoreTypes(false, false, false);  // timing and active sensing are messages too
  }
  // Makes the port for others to connect to.
  void offerPort() { in_.openVirtualPort("in"); }
  // Makes the port and connects the output port `source` to it; false when there is none.
  bool listenTo(const std::string& source) { return openPortFrom(in_, source); }
  // The next message read; empty when none comes in time.
  Bytes next(std::chrono::milliseconds timeout = kJackSettles) {
    Bytes message;
    waitUntil(
        [&] {
          in_.getMessage(&message);
          return !message.empty();
        },
        timeout);
    return message;
  }

 private:
  RtMidiIn in_;
};

}  // namespace notecast::testing
