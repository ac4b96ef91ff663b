#pragma once
// Script mode: runs a host script line by line against one plug-in session and prints one result
// line per call (plus list items and message box reports), in the format of ResultFormat.h.
//
// Contract: runs on the user-interface thread with a QApplication alive; the session MUST
// outlive the runner. The runner calls the plug-in only for the calls the script makes, each
// through the session's gate.

#include <functional>
#include <istream>
#include <map>
#include <ostream>
#include <string>
#include <string_view>

#include "host/script/CallResult.h"
#include "host/script/ScriptLine.h"
#include "host/session/MessageBoxAnswerer.h"
#include "host/session/PluginSession.h"

namespace notecast::host {

class ScriptRunner {
 public:
  static constexpr std::string_view kNotAvailable = "not available";

  ScriptRunner(PluginSession& session, std::ostream& out);

  // The one Init the host makes on its own before the first line. It prints no result line, but a
  // message box it raises is answered and reported like one of any call.
  HRESULT initialise(VARIANT_BOOL* answer);
  // Runs every line until the end of `script` or a `quit` call.
  void run(std::istream& script);
  // Runs one line and prints its result; returns false once the script has asked to quit.
  bool runLine(std::string_view line);

 private:
  using Handler = std::function<CallResult(const ScriptLine&)>;

  // A call that reaches the plug-in (its object, window or command server): run inside the gate.
  void add(std::string_view word, Handler handler);
  // A call on the host alone.
  void addHostCall(std::string_view word, Handler handler);
  void addPluginCalls();
  void addToolCalls();
  void addWindowCalls();
  void addCommandCalls();
  void addHostCalls();
  void addUiCalls();

  CallResult call(const ScriptLine& line);
  void print(const std::string& word, const CallResult& result);

  // Calls whose result takes more than one method call.
  CallResult moduleInfo();
  CallResult firstOptions();
  CallResult secondOptions(const ScriptLine& line);
  CallResult execute(const ScriptLine& line);
  CallResult answer(const ScriptLine& line);
  CallResult sleep(const ScriptLine& line);

  PluginSession& session_;
  std::ostream& out_;
  MessageBoxAnswerer boxes_;  // for a plug-in that shows its boxes itself
  bool pressesBoxes_ = false;
  std::map<std::string, Handler, std::less<>> handlers_;
  bool quit_ = false;
};

}  // namespace notecast::host
