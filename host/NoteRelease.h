#pragma once
// The notes the plug-in left sounding, released in the desktop and headless modes (the plug-in's
// abi/INoteRelease.h): turned on at the start unless --keep-notes; asked for before a reload and,
// with --release-after, once DMX has stopped coming for that long; and what the plug-in released
// by itself (Term, a change of output) told as well: "released 3 notes (...)".
//
// Contract: main thread; `session` and `feed` outlive it. A plug-in without the interface is left
// as it is, and nothing is told.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "host/CommandLine.h"
#include "host/DmxFeed.h"
#include "host/session/PluginSession.h"

namespace notecast::host {

class NoteRelease : public QObject {
 public:
  using Report = std::function<void(const std::string&)>;

  NoteRelease(PluginSession& session, const HostOptions& options, const DmxFeed& feed,
              Report report);

  // Turns release on unless --keep-notes; inside the start-up's call to the plug-in.
  void turnOn();
  // Watches the DMX input for --release-after, and the plug-in's own releases.
  void start();
  // Releases the notes now, before a reload; the plug-in MUST be free.
  void beforeReload();
  // Tells what the plug-in released since the last look (Term does); inside a call to it.
  void tellReleasedSince();

 private:
  void tick();
  void release(const std::string& why);

  PluginSession& session_;
  const DmxFeed& feed_;
  Report report_;
  bool on_ = false;
  std::optional<double> releaseAfter_;
  std::int64_t told_ = 0;  // of the plug-in's count of released notes
  qint64 lastFrames_ = -1;
  QElapsedTimer sinceFrame_;
  bool releasedSinceFrame_ = false;
  QTimer timer_;
};

}  // namespace notecast::host
