#pragma once
// The desktop mode's DMX input: at the start the one of the command line (for this run only),
// else the one kept for the project (DmxChoiceStore), else none; then whatever the operator
// applies in the window, put in place in the feed and kept for the project. The window shows
// each input, and the input's failures; failures at the start also go to the report.
//
// Contract: main thread; `feed` and `window` outlive this object. Construct it before the feed
// starts: the project's input then starts with it.

#include <QObject>
#include <optional>

#include "host/CommandLine.h"
#include "host/DmxFeed.h"
#include "host/desktop/DmxChoiceStore.h"
#include "host/desktop/HostMainWindow.h"

namespace notecast::host {

// Puts the DMX input kept for the project (`store`; nothing: no project) in place in `feed`:
// the source it took, empty when none was kept. Throws std::runtime_error naming the file when
// the kept value cannot be used. Both modes start a project's input so.
QString takeKeptInput(DmxFeed& feed, const std::optional<DmxChoiceStore>& store);

class DesktopDmxInput : public QObject {
 public:
  // `store`: nothing when there is no project to keep a choice for.
  DesktopDmxInput(DmxFeed& feed, HostMainWindow& window, std::optional<DmxChoiceStore> store,
                  const HostOptions& options, DmxFeed::Report report);

 private:
  void startWithKeptChoice();
  void apply(const QString& source);
  // Shows the feed's input, now known by `source`, and follows it.
  void showInput(const QString& source);
  void tellFailure(const QString& text) const;

  DmxFeed& feed_;
  HostMainWindow& window_;
  std::optional<DmxChoiceStore> store_;
  DmxFeed::Report report_;
};

}  // namespace notecast::host
