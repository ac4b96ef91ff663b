#pragma once
// One bridge of the several-bridges benchmark: the built notecast-host, headless, taking one OLA
// universe with an event file of its own and sending to a MIDI destination of its own, and the
// counts its status line tells.

#include <sys/types.h>

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>
#include <string>

namespace notecast::bench {

// What a headless host's status line counts ("notecast-host: OLA universe 1 running, 12 frames,
// 10 changes, ..., 2 frames folded, 1 changes failed; MIDI x open, 9 sent, 0 not sent").
struct HostCounts {
  bool valid = false;  // the line was a status line with its MIDI part
  qint64 frames = 0, changes = 0, folded = 0, failed = 0, sent = 0, notSent = 0;
};
HostCounts parseStatusLine(const QString& line);

class BridgeHost {
 public:
  // Event j of `events` (spread over the universe's slots) sends control change j % 128 on MIDI
  // channel j / 128 + 1 with the slot's value / 2.
  BridgeHost(unsigned universe, int events);
  ~BridgeHost();
  BridgeHost(const BridgeHost&) = delete;
  BridgeHost& operator=(const BridgeHost&) = delete;

  // The universe's slot (1..512) that event `event` watches.
  static int slotOf(int event, int events) { return 1 + event * 512 / events; }

  // Writes the event file and starts the host with `midiOut` as its output for the run; false
  // with the reason in *error.
  bool start(const QString& midiOut, std::string* error);
  pid_t pid() const { return static_cast<pid_t>(process_.processId()); }
  bool running() const { return process_.state() == QProcess::Running; }
  // The counts of the newest whole status line so far (a line a second, and one at the end).
  HostCounts lastCounts() const;
  // SIGTERM, as a service manager stops it; false when it did not end by itself in time or did
  // not end with status 0.
  bool stop();
  // Its standard error so far.
  std::string errors() const;

 private:
  unsigned universe_;
  int events_;
  QTemporaryDir folder_;
  QProcess process_;
};

}  // namespace notecast::bench
