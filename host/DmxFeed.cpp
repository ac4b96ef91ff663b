#include "host/DmxFeed.h"

#include <cstdint>
#include <stdexcept>

#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "host/session/HostError.h"
#include "host/session/OutputDetailsReader.h"
#include "host/session/OutputStatusReader.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

constexpr std::int32_t kChannelValueMessage = lumo::kMessageChannelValue;

// A state that another line tells already, or that only comes with the end of the run.
bool toldElsewhere(const QString& state) {
  return state.startsWith(QStringLiteral("failed")) || state == QStringLiteral("stopped");
}

}  // namespace

DmxFeed::DmxFeed(PluginSession& session, const HostOptions& options, const Report& report)
    : session_(session),
      report_(report),
      stateReport_(report),
      loop_(options.loop),
      failures_("DMX changes", report) {
  if (!options.dmxSource) return;
  try {
    attach(DmxInput::create(QString::fromStdString(*options.dmxSource), loop_));
  } catch (const std::invalid_argument& error) {
    throw HostError(std::string("--dmx ") + *options.dmxSource + ": " + error.what());
  }
}

void DmxFeed::replaceInput(const std::optional<std::string>& source) {
  if (session_.gate().busy())
    throw HostError("the plug-in is busy with another call; try again once it is done");
  std::unique_ptr<DmxInput> next;
  if (source) {
    try {
      next = DmxInput::create(QString::fromStdString(*source), loop_);
    } catch (const std::invalid_argument& error) {
      throw HostError(*source + ": " + error.what());
    }
  }
  if (input_) input_->stop();
  dispatcher_.reset();  // before its input
  input_.reset();
  if (next) attach(std::move(next));
  if (started_) start();
}

void DmxFeed::attach(std::unique_ptr<DmxInput> input) {
  input_ = std::move(input);
  dispatcher_ = std::make_unique<ChangeDispatcher>(
      *input_, session_.gate(),
      [&session = session_](int channel, int value) {
        std::int32_t message = kChannelValueMessage, arg1 = channel, arg2 = value, result = 0;
        return session.plugin().MessageHandle(&message, &arg1, &arg2, &result);
      },
      [this](const ChangeDispatcher::Failure& failure) {
        std::string reason = failure.reason;
        if (reason.empty()) {
          // What the plug-in says it meant, asked right after the call that failed.
          const PluginGate::Call call(session_.gate());
          reason = explainPluginFailure(session_, failure.result);
        }
        failures_.note("DMX channel " + std::to_string(failure.channel) + " = " +
                           std::to_string(failure.value),
                       reason);
      });
  // Each change of the input's state, once (connecting, no daemon, lost, running).
  QObject::connect(input_.get(), &DmxInput::stateChanged, input_.get(),
                   [this, input = input_.get()](const QString& state) {
                     if (toldElsewhere(state)) return;
                     stateReport_("DMX input " + input->status().source.toStdString() + ": " +
                                  state.toStdString());
                   });
  QObject::connect(input_.get(), &DmxInput::framesFolded, input_.get(), [this](qint64 frames) {
    report_("DMX input held up: " + std::to_string(frames) +
            " frames folded into later ones, each channel keeping its newest value");
  });
}

void DmxFeed::start() {
  started_ = true;
  if (input_) input_->start();
}

void DmxFeed::stop() {
  started_ = false;
  if (input_) input_->stop();
}

std::string DmxFeed::statusLine() const {
  const DmxInputStatus now = status();
  std::string line = now.source.toStdString() + " " + now.state.toStdString() + ", " +
                     std::to_string(now.frames) + " frames, " + std::to_string(now.changes) +
                     " changes";
  if (now.lastChannel > 0)
    line +=
        ", last channel " + std::to_string(now.lastChannel) + " = " + std::to_string(now.lastValue);
  if (now.folded > 0) line += ", " + std::to_string(now.folded) + " frames folded";
  if (failures_.total() > 0) line += ", " + std::to_string(failures_.total()) + " changes failed";
  // Inside a plug-in call (a box of the plug-in's) the MIDI part is left out.
  if (!session_.gate().busy()) {
    const PluginGate::Call read(session_.gate());
    if (const auto output = readOutputStatus(session_))
      line += "; " + describeOutputStatus(*output);
    // A kept connection that is not made is as much news as the output's state.
    for (const auto& [port, state] : readConnectionStates(session_))
      if (state != kConnectionConnected) line += ", " + port + " not connected";
  }
  return "notecast-host: " + line;
}

}  // namespace notecast::host
