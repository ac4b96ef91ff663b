#include "host/HostModes.h"

#include <QTimer>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/DesktopDmxInput.h"
#include "host/DmxFeed.h"
#include "host/ExitStatus.h"
#include "host/HostLoop.h"
#include "host/HostWeb.h"
#include "host/NoteRelease.h"
#include "host/ProjectReload.h"
#include "host/RealTimePriority.h"
#include "host/SignalWatcher.h"
#include "host/StateReport.h"
#include "host/desktop/HostMainWindow.h"
#include "host/session/EventFileReport.h"
#include "host/session/HostLifecycle.h"
#include "host/session/MessageSinks.h"
#include "host/session/OutputChoice.h"
#include "host/session/OutputDetailsReader.h"
#include "host/session/ResultFormat.h"
#include "host/session/SentMessageMonitor.h"
#include "host/session/TypingHints.h"

namespace notecast::host {
namespace {

constexpr int kStatusLineIntervalMs = 1000;
constexpr const char* kHeadlessOutputAdvice =
    "Choose one with --midi-out NAME; notecast-host --list-outputs lists them.";

void reportToStandardError(const std::string& line) {
  std::cerr << "notecast-host: " << line << std::endl;
}

void warnOnStandardError(const std::string& line) {
  reportToStandardError("warning: " + line);
}

// Asked once the plug-in has loaded its project and, with it, connected to the MIDI system: the
// name its client got, and the ports given that the MIDI system does not have.
template <class Tell>
void tellNamesNotThere(PluginSession& session, const HostOptions& options, const Tell& tell) {
  const PluginGate::Call call(session.gate());
  if (const auto warning = takenNameWarning(session, options.clientName)) tell(*warning);
  if (!options.midiOut && options.connectPorts.empty()) return;
  if (const auto outputs = readOutputList(session)) {
    for (const std::string& hint : portHints(*outputs, options.midiOut, options.connectPorts))
      tell("warning: " + hint);
  }
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

// Without --dmx a headless run takes the DMX input chosen for the project in the desktop window,
// and says so: the same project behaves alike in both modes.
void useKeptDmxChoice(DmxFeed& feed, const HostOptions& options) {
  if (options.dmxSource) return;
  try {
    const QString kept = takeKeptInput(feed, projectDmxChoice(options));
    if (kept.isEmpty()) return;
    reportToStandardError("DMX input " + kept.toStdString() +
                          " as chosen for the project in the desktop window (--dmx gives another)");
  } catch (const std::exception& error) {
    warnOnStandardError(std::string("the DMX input kept for the project is not used: ") +
                        error.what());
  }
}

// --name, --midi-out and --connect, handed to the plug-in before it loads the project's output,
// and the sink of --monitor and the web page.
void chooseOutput(const PluginSession& session, const HostOptions& options, IMessageSink* sink) {
  if (options.clientName) {
    if (const auto warning = nameClient(session, *options.clientName))
      reportToStandardError(*warning);
  }
  if (const auto warning = applyOutputChoice(session, options.midiOut, options.connectPorts))
    reportToStandardError(*warning);
  if (sink && !giveMessageSink(session, sink))
    warnOnStandardError(
        "the plug-in does not tell the messages it sends; --monitor and --web show none");
}

// The sink leaves the plug-in before the monitor and the web page end.
void stopMonitor(PluginSession& session, const IMessageSink* sink) {
  if (!sink) return;
  const PluginGate::Call call(session.gate());
  giveMessageSink(session, nullptr);
}

// --monitor and the web page, told of every message sent.
void addSinks(MessageSinks& sinks, SentMessageMonitor* monitor, WebFront* web) {
  sinks.add(monitor);
  if (web) sinks.add(web->messageSink());
}

// The plug-in's boxes answered by the host from now on; false when it shows them itself.
bool answerBoxes(PluginSession& session, std::ostream& out) {
  const PluginGate::Call call(session.gate());
  return session.answerBoxes(out, HostBoxAnswerer::Lines::kHost);
}

}  // namespace

int runHeadless(PluginSession& session, const HostOptions& options) {
  HostLoop loop;
  SignalWatcher hostSignals;
  endOnStopSignal(hostSignals, loop);
  // The plug-in's boxes come to the host: nothing can wait on a box nobody sees.
  if (!answerBoxes(session, std::cerr))
    warnOnStandardError("the plug-in takes no answers to its boxes: a box it shows cannot be seen");
  HostLifecycle lifecycle(session, reportToStandardError);
  DmxFeed feed(session, options, reportToStandardError);
  useKeptDmxChoice(feed, options);
  NoteRelease notes(session, options, feed, reportToStandardError);
  std::unique_ptr<WebFront> web;
  ProjectReload reload(session, lifecycle, notes, options, [&web](const std::string& line) {
    reportToStandardError(line);
    if (web) web->notice(line);
  });
  QObject::connect(&hostSignals, &SignalWatcher::reloadRequested, &reload, &ProjectReload::request);
  web = openWebPage(
      session, options, feed, "headless", [&reload] { reload.request(); }, {},
      reportToStandardError);
  endWithInput(feed, loop);
  StateReport states(session, reportToStandardError, false);
  if (!feed.input())
    reportToStandardError(
        "no DMX input chosen: nothing reaches the plug-in; give --dmx ola:UNIVERSE (or stdin, "
        "replay:FILE)");
  if (const auto warning = eventFileProblem(session, options.projectBase))
    warnOnStandardError(*warning);
  std::unique_ptr<SentMessageMonitor> monitor;
  if (options.monitor) monitor = std::make_unique<SentMessageMonitor>(std::cout);
  MessageSinks sinks;
  addSinks(sinks, monitor.get(), web.get());
  lifecycle.startUp([&] {
    giveOutputAdvice(session, kHeadlessOutputAdvice);
    chooseOutput(session, options, sinks.asSink());
    notes.turnOn();
  });
  tellNamesNotThere(session, options, reportToStandardError);
  states.start();
  notes.start();

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
  if (web) web->stop();
  stopMonitor(session, sinks.asSink());
  lifecycle.shutDown([&notes] { notes.tellReleasedSince(); });
  return status;
}

int runDesktop(PluginSession& session, const HostOptions& options) {
  HostLoop loop;
  SignalWatcher hostSignals;
  // A stop signal ends the host without a question: nobody may be there to answer it. SIGHUP (the
  // terminal that started it closed) ends it the same way.
  endOnStopSignal(hostSignals, loop);
  QObject::connect(&hostSignals, &SignalWatcher::reloadRequested,
                   [&loop] { loop.end(kExitSuccess); });
  std::vector<std::string> startUpFailures;
  HostLifecycle lifecycle(session,
                          [&](const std::string& line) { startUpFailures.push_back(line); });
  HostMainWindow* shownIn = nullptr;  // once the window exists, failures show there too
  const auto tell = [&shownIn](const std::string& line) {
    reportToStandardError(line);
    if (shownIn) shownIn->showFailure(QString::fromStdString(line));
  };
  // Changes of state are news, not failures: the window's status bar lets them fade.
  const auto tellState = [&shownIn](const std::string& line) {
    reportToStandardError(line);
    if (shownIn) shownIn->showSuccess(QString::fromStdString(line));
  };
  DmxFeed feed(session, options, tell);
  feed.setStateReport(tellState);
  NoteRelease notes(session, options, feed, tellState);
  StateReport states(session, tellState, true);
  // SIGHUP ends the desktop mode, and the window keeps the unsaved edits a reload would drop.
  const std::unique_ptr<WebFront> web =
      openWebPage(session, options, feed, "desktop", {},
                  QStringLiteral("the desktop mode loads the event file through its window"),
                  reportToStandardError);
  const std::optional<std::string> eventFileWarning =
      eventFileProblem(session, options.projectBase);
  if (eventFileWarning) warnOnStandardError(*eventFileWarning);
  std::unique_ptr<SentMessageMonitor> monitor;
  if (options.monitor) monitor = std::make_unique<SentMessageMonitor>(std::cout);
  MessageSinks sinks;
  addSinks(sinks, monitor.get(), web.get());
  lifecycle.startUp([&] {
    chooseOutput(session, options, sinks.asSink());
    notes.turnOn();
  });
  tellNamesNotThere(session, options,
                    [&](const std::string& line) { startUpFailures.push_back(line); });

  HostMainWindow window(session, QString::fromStdString(options.projectBase), nullptr);
  window.reportFailuresTo(reportToStandardError);
  shownIn = &window;
  QObject::connect(&window, &HostMainWindow::quitRequested, [&loop] { loop.end(kExitSuccess); });
  window.show();
  if (eventFileWarning) window.showFailure(QString::fromStdString(*eventFileWarning));
  for (const std::string& failure : startUpFailures) {
    reportToStandardError(failure);
    window.showFailure(QString::fromStdString(failure));
  }
  DesktopDmxInput dmxInput(feed, window, projectDmxChoice(options), options, reportToStandardError);
  states.start();
  notes.start();
  feed.start();
  const int status = loop.run();

  feed.stop();
  shownIn = nullptr;
  window.hide();
  feed.reportTotals();
  if (web) web->stop();
  stopMonitor(session, sinks.asSink());
  lifecycle.shutDown([&] { notes.tellReleasedSince(); });
  return status;
}

int listOutputs(PluginSession& session, const HostOptions& options) {
  std::optional<std::string> outputs;
  std::string ownPort;
  {
    const PluginGate::Call call(session.gate());
    VARIANT_BOOL answer = VARIANT_FALSE;
    session.answerBoxes(std::cerr, HostBoxAnswerer::Lines::kHost);
    const HRESULT init = session.init(&answer);
    if (FAILED(init)) reportToStandardError("Init: " + explainFailure(init));
    if (options.clientName) {
      if (const auto warning = nameClient(session, *options.clientName))
        reportToStandardError(*warning);
    }
    outputs = readOutputList(session);
    ownPort = ownPortOf(session);
    session.plugin().Term(&answer);
  }
  session.close();
  if (!outputs) {
    reportToStandardError("the plug-in " + session.libraryPath() + " does not list its outputs");
    return kExitFailure;
  }
  std::cout << *outputs;
  if (!outputs->empty() && outputs->back() != '\n') std::cout << '\n';
  // The own port (the virtual output's row) as the MIDI system named it for this list.
  if (!ownPort.empty())
    reportToStandardError("the plug-in's own port for this list was " + ownPort);
  // A box is the plug-in telling of a problem with the MIDI system (none running, a bad setting).
  const HostBoxAnswerer* boxes = session.boxAnswerer();
  return boxes && boxes->answered() > 0 ? kExitFailure : kExitSuccess;
}

}  // namespace notecast::host
