#pragma once
// The headless mode's reload of the project's event file while the show runs, asked for by
// SIGHUP or the web page's Reload: the file must stay unchanged for kSettleMs (a copy still
// being written is not taken), then the plug-in loads it once it is free, through its checked
// reload (HostLifecycle::reloadProject), after the sounding notes were released. One line tells
// the outcome: "reloaded the project BASE: 12 events", or why the running events stay.
//
// Contract: main thread; the session, lifecycle, notes and options outlive the object.

#include <QObject>
#include <functional>
#include <string>

#include "host/CommandLine.h"
#include "host/NoteRelease.h"
#include "host/session/HostLifecycle.h"

namespace notecast::host {

class ProjectReload : public QObject {
  Q_OBJECT

 public:
  static constexpr int kSettleMs = 300;
  using Report = std::function<void(const std::string&)>;

  ProjectReload(PluginSession& session, HostLifecycle& lifecycle, NoteRelease& notes,
                const HostOptions& options, Report report);

  void request();

 private:
  void whenFree();

  PluginSession& session_;
  HostLifecycle& lifecycle_;
  NoteRelease& notes_;
  const HostOptions& options_;
  Report report_;
};

}  // namespace notecast::host
