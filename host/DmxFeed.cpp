#include "host/DmxFeed.h"

#include <cstdint>
#include <stdexcept>

#include "abi/LumoTypeLib/LumoTypeLib.h"
#include "host/session/HostError.h"
#include "host/session/OutputStatusReader.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

constexpr std::int32_t kChannelValueMessage = lumo::kMessageChannelValue;

}  // namespace

DmxFeed::DmxFeed(PluginSession& session, const HostOptions& options, const Report& report)
    : session_(session), report_(report), loop_(options.loop), failures_("DMX changes", report) {
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
        failures_.note("DMX channel " + std::to_string(failure.channel) + " = " +
                           std::to_string(failure.value),
                       failure.reason.empty() ? explainFailure(failure.result) : failure.reason);
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
  }
  return "notecast-host: " + line;
}

}  // namespace notecast::host
