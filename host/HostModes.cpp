#include "host/HostModes.h"

#include <QCoreApplication>
#include <QTimer>
#include <iostream>
#include <memory>

#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "host/ExitStatus.h"
#include "host/SignalWatcher.h"
#include "host/desktop/HostMainWindow.h"
#include "host/dmx/ChangeDispatcher.h"
#include "host/dmx/DmxInput.h"
#include "host/dmx/PluginCallScope.h"
#include "host/session/HostError.h"
#include "host/session/HostLifecycle.h"
#include "host/session/MessageBoxAnswerer.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

constexpr int kStatusLineIntervalMs = 1000;
constexpr std::int32_t kChannelValueMessage = lumo::kMessageChannelValue;

// The DMX input of the command line, if any, feeding the plug-in through a dispatcher that
// keeps one plug-in call at a time. Failures go to `report`.
struct DmxFeed {
  std::unique_ptr<DmxInput> input;
  std::unique_ptr<ChangeDispatcher> dispatcher;

  DmxFeed(PluginSession& session, const HostOptions& options,
          const std::function<void(const std::string&)>& report) {
    if (!options.dmxSource) return;
    try {
      input = DmxInput::create(QString::fromStdString(*options.dmxSource), options.loop);
    } catch (const std::invalid_argument& error) {
      throw HostError(std::string("--dmx ") + *options.dmxSource + ": " + error.what());
    }
    dispatcher = std::make_unique<ChangeDispatcher>(
        [&session](int channel, int value) {
          std::int32_t message = kChannelValueMessage, arg1 = channel, arg2 = value, result = 0;
          return session.plugin().MessageHandle(&message, &arg1, &arg2, &result);
        },
        [report](const ChangeDispatcher::Failure& failure) {
          report("DMX channel " + std::to_string(failure.channel) + " = " +
                 std::to_string(failure.value) + ": " +
                 (failure.reason.empty() ? explainFailure(failure.result) : failure.reason));
        });
    QObject::connect(input.get(), &DmxInput::changed, dispatcher.get(), &ChangeDispatcher::deliver);
  }

  DmxInputStatus status() const { return input ? input->status() : DmxInputStatus{}; }
  void start() {
    if (input) input->start();
  }
  void stop() {
    if (input) input->stop();
  }
};

std::string statusLine(const DmxInputStatus& status) {
  std::string line = "notecast-host: " + status.source.toStdString() + " " +
                     status.state.toStdString() + ", " + std::to_string(status.frames) +
                     " frames, " + std::to_string(status.changes) + " changes";
  if (status.lastChannel > 0)
    line += ", last channel " + std::to_string(status.lastChannel) + " = " +
            std::to_string(status.lastValue);
  return line;
}

void reportToStandardError(const std::string& line) {
  std::cerr << "notecast-host: " << line << std::endl;
}

}  // namespace

int runHeadless(PluginSession& session, const HostOptions& options) {
  MessageBoxAnswerer boxes(std::cerr);
  boxes.start();
  HostLifecycle lifecycle(session, reportToStandardError);
  DmxFeed feed(session, options, reportToStandardError);
  SignalWatcher stopSignals;
  lifecycle.startUp();

  QObject::connect(&stopSignals, &SignalWatcher::stopRequested, qApp, &QCoreApplication::quit);
  if (feed.input) {
    QObject::connect(feed.input.get(), &DmxInput::finished, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
  }
  QTimer statusTimer;
  QObject::connect(&statusTimer, &QTimer::timeout,
                   [&feed] { std::cout << statusLine(feed.status()) << std::endl; });
  if (feed.input) statusTimer.start(kStatusLineIntervalMs);
  feed.start();
  QCoreApplication::exec();

  statusTimer.stop();
  feed.stop();
  if (feed.input) std::cout << statusLine(feed.status()) << std::endl;
  lifecycle.shutDown();
  boxes.stop();
  return kExitSuccess;
}

int runDesktop(PluginSession& session, const HostOptions& options) {
  std::vector<std::string> startUpFailures;
  HostLifecycle lifecycle(session,
                          [&](const std::string& line) { startUpFailures.push_back(line); });
  DmxFeed feed(session, options, reportToStandardError);
  lifecycle.startUp();

  HostMainWindow window(session, QString::fromStdString(options.projectBase),
                        feed.input
                            ? DmxStatusPanel::StatusProvider([&feed] { return feed.status(); })
                            : DmxStatusPanel::StatusProvider());
  SignalWatcher stopSignals;
  QObject::connect(&window, &HostMainWindow::quitRequested, qApp, &QCoreApplication::quit);
  // A stop signal ends the host without a question: nobody may be there to answer it.
  QObject::connect(&stopSignals, &SignalWatcher::stopRequested, qApp, &QCoreApplication::quit);
  if (feed.input) {
    QObject::connect(feed.input.get(), &DmxInput::statusChanged, &window,
                     &HostMainWindow::refreshDmxStatus);
  }
  window.show();
  for (const std::string& failure : startUpFailures) {
    reportToStandardError(failure);
    window.showFailure(QString::fromStdString(failure));
  }
  feed.start();
  QCoreApplication::exec();

  feed.stop();
  window.hide();
  lifecycle.shutDown();
  return kExitSuccess;
}

}  // namespace notecast::host
