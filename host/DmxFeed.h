#pragma once
// The DMX input of the command line, if any, or the one put in its place, feeding the plug-in
// through the session's gate (ChangeDispatcher), and what the operator hears of it: the
// plug-in's failure results once per kind with a running count over the whole run
// (FailureTally), frames folded while the plug-in was held up once per backlog, and a status
// line.
//
// Contract: main thread; `session` outlives the feed.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/ChangeDispatcher.h"
#include "host/CommandLine.h"
#include "host/dmx/DmxInput.h"
#include "host/session/FailureTally.h"
#include "host/session/PluginSession.h"

namespace notecast::host {

class DmxFeed {
 public:
  // Gets each line to tell, without the program's name: failures and folded frames; and each
  // change of the input's state until setStateReport.
  using Report = std::function<void(const std::string&)>;

  // Creates the input of options.dmxSource (none without it). Throws HostError when it cannot
  // (a show file that cannot be read).
  DmxFeed(PluginSession& session, const HostOptions& options, const Report& report);

  // Null without an input.
  DmxInput* input() const noexcept { return input_.get(); }
  DmxInputStatus status() const { return input_ ? input_->status() : DmxInputStatus{}; }
  void start();
  void stop();
  // Puts the input of `source` ("ola:1,2", "stdin", "replay:FILE"; nothing for none) in place of
  // the current one, which stops and goes with the frames still waiting; the new one starts at
  // once when the feed was started. Connections to the old input go with it. Throws HostError
  // with the reason, keeping the current input, for a source that cannot be made and while a
  // plug-in call is in progress (the old input may be inside a delivery).
  void replaceInput(const std::optional<std::string>& source);
  // Where each change of the input's state goes from now on ("DMX input OLA universe 1:
  // running"), when it is news rather than a failure.
  void setStateReport(Report report) { stateReport_ = std::move(report); }

  // "notecast-host: standard input running, 12 frames, 10 changes, last channel 7 = 128, ...;
  // MIDI Notecast virtual output (from Notecast:out) open, 10 sent, 0 not sent" (the MIDI part when
  // the plug-in tells it).
  std::string statusLine() const;
  // For the end of the run: each failure result that repeated, with its total.
  void reportTotals() const { failures_.totals(); }

 private:
  void attach(std::unique_ptr<DmxInput> input);

  PluginSession& session_;
  Report report_;
  Report stateReport_;
  bool loop_;
  bool started_ = false;
  FailureTally failures_;  // first: the dispatcher reports into it until it goes
  std::unique_ptr<DmxInput> input_;
  std::unique_ptr<ChangeDispatcher> dispatcher_;
};

}  // namespace notecast::host
