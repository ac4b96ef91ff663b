#pragma once
// What the benchmarks that drive notecast-host through OLA set up alike: waiting with a deadline,
// an event file whose events name their frame, and one streaming client per universe.

#include <ola/client/StreamingClient.h>

#include <QByteArray>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace notecast::bench {

inline bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Event j maps DMX channel `channelOf(j)` onto control change j % 128 of MIDI channel j / 128 + 1,
// so each message names its event and carries its frame's value, halved.
inline QByteArray mappingEventFile(int events, const std::function<int(int)>& channelOf) {
  QByteArray text = "[General]\r\nMIDIOutputDevice=Notecast virtual output\r\nCount=" +
                    QByteArray::number(events - 1) + "\r\n";
  for (int j = 0; j < events; ++j)
    text += "[Entry_" + QByteArray::number(j) +
            "]\r\nDMXChannel=" + QByteArray::number(channelOf(j)) +
            "\r\nMIDIMessage=" + QByteArray::number(0xB0 + j / 128) +
            "\r\nData1=" + QByteArray::number(j % 128) + "\r\nTyp=4\r\n";
  return text;
}

// One streaming client per universe: a client gets no replies, so on one connection the kernel
// holds a frame's later universes back (Nagle) until the daemon's delayed acknowledgement, some
// 40 ms, which would be measured as the host's latency. None never starts a daemon of the default
// configuration (auto_start off). Empty when one cannot connect.
inline std::vector<std::unique_ptr<ola::client::StreamingClient>> openSenders(int universes) {
  ola::client::StreamingClient::Options options;
  options.auto_start = false;
  std::vector<std::unique_ptr<ola::client::StreamingClient>> senders;
  for (int u = 0; u < universes; ++u) {
    senders.push_back(std::make_unique<ola::client::StreamingClient>(options));
    if (!senders.back()->Setup()) return {};
  }
  return senders;
}

}  // namespace notecast::bench
