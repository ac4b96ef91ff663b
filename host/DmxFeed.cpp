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

}  // namespace

DmxFeed::DmxFeed(PluginSession& session, const HostOptions& options, const Report& report)
    : session_(session), failures_("DMX changes", report) {
  if (!options.dmxSource) return;
  try {
    input_ = DmxInput::create(QString::fromStdString(*options.dmxSource), options.loop);
  } catch (const std::invalid_argument& error) {
    throw HostError(std::string("--dmx ") + *options.dmxSource + ": " + error.what());
  }
  dispatcher_ = std::make_unique<ChangeDispatcher>(
      *input_, session.gate(),
      [&session](int channel, int value) {
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
  QObject::connect(input_.get(), &DmxInput::framesFolded, input_.get(), [report](qint64 frames) {
    report("DMX input held up: " + std::to_string(frames) +
           " frames folded into later ones, each channel keeping its newest value");
  });
}

void DmxFeed::start() {
  if (input_) input_->start();
}

void DmxFeed::stop() {
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
