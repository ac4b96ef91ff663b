#pragma once
// What a DMX source named on the command line is: "ola:U[,U...][@HOST[:PORT]]" (OLA universes,
// of the daemon at HOST:PORT, by default 127.0.0.1:9010), "stdin" or "replay:FILE", checked
// before anything is opened or looked up.
//
// Contract: none; a plain value.

#include <QString>
#include <vector>

#include "host/dmx/OlaDaemonAddress.h"

namespace notecast::host {

struct DmxSource {
  enum class Kind { kOla, kStdin, kReplay };
  // What an OLA source starts with, before its universes.
  static constexpr QLatin1String kOlaPrefix{"ola:"};

  Kind kind = Kind::kStdin;
  std::vector<unsigned> universes;  // kOla: 1..ChannelState::kMaxUniverse each, none twice
  OlaDaemonAddress daemon;          // kOla
  QString path;                     // kReplay

  // Throws std::invalid_argument with a readable reason for a malformed source, a universe
  // out of range or a malformed address.
  static DmxSource parse(const QString& text);
};

}  // namespace notecast::host
