#include "host/ProjectReload.h"

#include <QTimer>

#include "host/session/EventFileReport.h"
#include "host/session/FileLook.h"

namespace notecast::host {

ProjectReload::ProjectReload(PluginSession& session, HostLifecycle& lifecycle, NoteRelease& notes,
                             const HostOptions& options, Report report)
    : session_(session),
      lifecycle_(lifecycle),
      notes_(notes),
      options_(options),
      report_(std::move(report)) {}

// A file still being written is not loaded: the event file is looked at twice, a moment apart,
// and reloaded only when nothing changed between the looks.
void ProjectReload::request() {
  const std::string path = eventFileOf(session_, options_.projectBase);
  const FileLook first = lookAt(path);
  QTimer::singleShot(kSettleMs, this, [this, path, first] {
    if (lookAt(path) != first) {
      report_("the project " + options_.projectBase + " was not reloaded: " + path +
              " is still being written; the running events and the MIDI output stay (send "
              "SIGHUP again once it is written)");
      return;
    }
    whenFree();
  });
}

// The project's event file loaded again, once the plug-in is free.
void ProjectReload::whenFree() {
  if (session_.gate().busy()) {
    session_.gate().whenFree(this, [this] { whenFree(); });
    return;
  }
  notes_.beforeReload();
  const HostLifecycle::Reload reload = lifecycle_.reloadProject();
  if (reload.refused) {
    report_("the project " + options_.projectBase + " was not reloaded: " + *reload.refused +
            "; the running events and the MIDI output stay");
    return;
  }
  const std::optional<std::int32_t> events = reload.events;
  report_("reloaded the project " + options_.projectBase +
          (events ? ": " + std::to_string(*events) + (*events == 1 ? " event" : " events")
                  : std::string()));
  // A reload refuses every file the start-up check names but one whose Count= reaches past its
  // last entry (a file cut short, say): that one loads, and is told as at the start.
  if (const auto warning = eventFileProblem(session_, options_.projectBase))
    report_("warning: " + *warning);
}

}  // namespace notecast::host
