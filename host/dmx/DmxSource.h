#pragma once
// What a DMX source named on the command line is: "ola:U[,U...]" (OLA universes), "stdin" or
// "replay:FILE", checked before anything is opened.
//
// Contract: none; a plain value.

#include <QString>
#include <vector>

namespace notecast::host {

struct DmxSource {
  enum class Kind { kOla, kStdin, kReplay };

  Kind kind = Kind::kStdin;
  std::vector<unsigned> universes;  // kOla: 1..ChannelState::kMaxUniverse each, none twice
  QString path;                     // kReplay

  // Throws std::invalid_argument with a readable reason for a malformed source or a universe
  // out of range.
  static DmxSource parse(const QString& text);
};

}  // namespace notecast::host
