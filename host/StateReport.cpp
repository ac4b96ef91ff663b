#include "host/StateReport.h"

#include "host/session/OutputDetailsReader.h"
#include "host/session/OutputStatusReader.h"

namespace notecast::host {
namespace {

std::string connectionLine(const std::string& port, const std::string& state) {
  if (state == kConnectionConnected) return "connected to " + port;
  if (state == kConnectionGone) return port + " has gone: connected again as soon as it is back";
  return "waiting for " + port + ": connected as soon as it appears";
}

}  // namespace

StateReport::StateReport(PluginSession& session, Report report, bool tellOutput)
    : session_(session), report_(std::move(report)), tellOutput_(tellOutput) {
  timer_.setInterval(kLookIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &StateReport::look);
}

void StateReport::start() {
  look();
  timer_.start();
}

void StateReport::look() {
  if (session_.gate().busy()) return;
  const PluginGate::Call call(session_.gate());
  lookAtConnections();
  if (tellOutput_) lookAtOutput();
}

void StateReport::lookAtConnections() {
  for (const auto& [port, state] : readConnectionStates(session_)) {
    std::string& told = connections_[port];
    if (told == state) continue;
    told = state;
    report_(connectionLine(port, state));
  }
}

void StateReport::lookAtOutput() {
  const auto status = readOutputStatus(session_);
  if (!status) return;
  const OutputState was = output_;
  output_ = status->state;
  const bool sameOutput = outputName_ == status->name;
  outputName_ = status->name;
  if (!sameOutput || was == output_) return;
  if (output_ == OutputState::kMissing) {
    report_("MIDI output " + status->name + " is missing: it opens again as soon as it is back");
  } else if (output_ == OutputState::kStalled) {
    report_("MIDI output " + status->name +
            " is stalled: the JACK server is not running its cycles");
  } else if (output_ == OutputState::kOpen && was == OutputState::kMissing) {
    report_("MIDI output " + status->name + " is back");
  } else if (output_ == OutputState::kOpen && was == OutputState::kStalled) {
    report_("MIDI output " + status->name + ": the JACK server is running its cycles again");
  }
}

}  // namespace notecast::host
