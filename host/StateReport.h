#pragma once
// Tells each change of the plug-in's states once, as one line, whatever else is shown or left out
// (--quiet drops only the periodic status line): each port kept connected to the plug-in's own
// port (waiting for it, connected, gone) and, where asked, the MIDI output's state (lost, back).
// A line comes only when a state differs from the last one told. (The DMX input's states are told
// by the DmxFeed.)
//
// The plug-in's states are looked at a few times a second, through the session's gate and only
// while it is free, so a plug-in held up (a box) is never called into.
//
// Contract: main thread; the session outlives the object.

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <string>

#include "abi/IOutputStatus.h"
#include "host/session/PluginSession.h"

namespace notecast::host {

class StateReport : public QObject {
  Q_OBJECT

 public:
  using Report = std::function<void(const std::string&)>;

  static constexpr int kLookIntervalMs = 250;

  // `tellOutput`: also the MIDI output's losses and returns (the headless mode's boxes tell them
  // already).
  StateReport(PluginSession& session, Report report, bool tellOutput);

  // Starts looking at the plug-in's states; call after the start-up.
  void start();
  // Looks at once (also when the timer runs).
  void look();

 private:
  void lookAtOutput();
  void lookAtConnections();

  PluginSession& session_;
  Report report_;
  bool tellOutput_;
  QTimer timer_;
  std::map<std::string, std::string> connections_;  // port -> state last told
  OutputState output_ = OutputState::kNone;
  std::string outputName_;
};

}  // namespace notecast::host
