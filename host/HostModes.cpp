#include "host/HostModes.h"

#include <QTimer>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "host/DesktopDmxInput.h"
#include "host/DmxFeed.h"
#include "host/ExitStatus.h"
#include "host/HostLoop.h"
#include "host/RealTimePriority.h"
#include "host/SignalWatcher.h"
#include "host/desktop/HostMainWindow.h"
#include "host/session/EventFileReport.h"
#include "host/session/HostLifecycle.h"
#include "host/session/MessageBoxAnswerer.h"
#include "host/session/OutputChoice.h"

namespace notecast::host {
namespace {

constexpr int kStatusLineIntervalMs = 1000;

void reportToStandardError(const std::string& line) {
  std::cerr << "notecast-host: " << line << std::endl;
}

void warnOnStandardError(const std::string& line) {
  reportToStandardError("warning: " + line);
}

// The stop signals end the loop from the start on: one that comes during the start-up (a box
// may be open then) ends the run as soon as the loop would begin.
void endOnStopSignal(const SignalWatcher& watcher, HostLoop& loop) {
  QObject::connect(&watcher, &SignalWatcher::stopRequested, [&loop] { loop.end(kExitSuccess); });
}

// The end of the input ends the run; a failing input ends it as a failure. Queued: the loop
// ends from the event loop, after the input's last frame has gone out.
void endWithInput(const DmxFeed& feed, HostLoop& loop) {
  DmxInput* input = feed.input();
  if (!input) return;
  QObject::connect(
      input, &DmxInput::finished, input, [&loop] { loop.end(kExitSuccess); }, Qt::QueuedConnection);
  QObject::connect(
      input, &DmxInput::failed, input,
      [&loop](const QString& reason) {
        reportToStandardError("DMX input failed: " + reason.toStdString());
        loop.end(kExitFailure);
      },
      Qt::QueuedConnection);
}

// Where the desktop mode keeps the project's DMX input; nothing without a project.
std::optional<DmxChoiceStore> projectDmxChoice(const HostOptions& options) {
  if (options.projectBase.empty()) return std::nullopt;
  return DmxChoiceStore(DmxChoiceStore::defaultPath(), QString::fromStdString(options.projectBase));
}

// --midi-out and --connect, handed to the plug-in before it loads the project's output.
void chooseOutput(const PluginSession& session, const HostOptions& options) {
  if (const auto warning = applyOutputChoice(session, options.midiOut, options.connectPorts))
    reportToStandardError(*warning);
}

}  // namespace

int runHeadless(PluginSession& session, const HostOptions& options) {
  HostLoop loop;
  SignalWatcher stopSignals;
  endOnStopSignal(stopSignals, loop);
  MessageBoxAnswerer boxes(std::cerr);
  boxes.start();
  HostLifecycle lifecycle(session, reportToStandardError);
  DmxFeed feed(session, options, reportToStandardError);
  endWithInput(feed, loop);
  if (const auto warning = eventFileProblem(session, options.projectBase))
    warnOnStandardError(*warning);
  lifecycle.startUp([&] { chooseOutput(session, options); });

  const bool statusLines = feed.input() && !options.quiet;
  QTimer statusTimer;
  QObject::connect(&statusTimer, &QTimer::timeout,
                   [&feed] { std::cout << feed.statusLine() << std::endl; });
  if (statusLines) statusTimer.start(kStatusLineIntervalMs);
  // No window is painted here: the main thread, which runs the dispatch, may go real time.
  if (const auto notice = RealTimePriority::request()) reportToStandardError(*notice);
  feed.start();
  const int status = loop.run();

  statusTimer.stop();
  feed.stop();
  if (statusLines) std::cout << feed.statusLine() << std::endl;
  feed.reportTotals();
  lifecycle.shutDown();
  boxes.stop();
  return status;
}

int runDesktop(PluginSession& session, const HostOptions& options) {
  HostLoop loop;
  SignalWatcher stopSignals;
  // A stop signal ends the host without a question: nobody may be there to answer it.
  endOnStopSignal(stopSignals, loop);
  std::vector<std::string> startUpFailures;
  HostLifecycle lifecycle(session,
                          [&](const std::string& line) { startUpFailures.push_back(line); });
  HostMainWindow* shownIn = nullptr;  // once the window exists, failures show there too
  DmxFeed feed(session, options, [&shownIn](const std::string& line) {
    reportToStandardError(line);
    if (shownIn) shownIn->showFailure(QString::fromStdString(line));
  });
  const std::optional<std::string> eventFileWarning =
      eventFileProblem(session, options.projectBase);
  if (eventFileWarning) warnOnStandardError(*eventFileWarning);
  lifecycle.startUp([&] { chooseOutput(session, options); });

  HostMainWindow window(session, QString::fromStdString(options.projectBase), nullptr);
  shownIn = &window;
  QObject::connect(&window, &HostMainWindow::quitRequested, [&loop] { loop.end(kExitSuccess); });
  window.show();
  if (eventFileWarning) window.showFailure(QString::fromStdString(*eventFileWarning));
  for (const std::string& failure : startUpFailures) {
    reportToStandardError(failure);
    window.showFailure(QString::fromStdString(failure));
  }
  DesktopDmxInput dmxInput(feed, window, projectDmxChoice(options), options, reportToStandardError);
  feed.start();
  const int status = loop.run();

  feed.stop();
  shownIn = nullptr;
  window.hide();
  feed.reportTotals();
  lifecycle.shutDown();
  return status;
}

}  // namespace notecast::host
