#include "host/script/ScriptRunner.h"

#include "abi/Boundary.h"
#include "host/script/BadCall.h"
#include "host/script/ScriptGrammar.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {

ScriptRunner::ScriptRunner(PluginSession& session, std::ostream& out)
    : session_(session), out_(out), boxes_(out) {
  addPluginCalls();
  addToolCalls();
  addWindowCalls();
  addCommandCalls();
  addHostCalls();
  addUiCalls();
}

// The plug-in's boxes come to the runner from the start; a plug-in that shows its own gets them
// pressed while a call runs.
HRESULT ScriptRunner::initialise(VARIANT_BOOL* answer) {
  HRESULT result = S_OK;
  {
    const PluginGate::Call call(session_.gate());
    pressesBoxes_ = !session_.answerBoxes(out_, HostBoxAnswerer::Lines::kScript);
  }
  if (pressesBoxes_) boxes_.start();
  {
    const PluginGate::Call call(session_.gate());
    result = session_.init(answer);
  }
  boxes_.stop();
  return result;
}

void ScriptRunner::run(std::istream& script) {
  std::string line;
  while (!quit_ && std::getline(script, line)) runLine(line);
}

bool ScriptRunner::runLine(std::string_view text) {
  const ScriptLine line = ScriptLine::parse(text, scriptGrammar());
  switch (line.kind()) {
    case ScriptLine::Kind::Skip:
      break;
    case ScriptLine::Kind::Bad:
      print(line.word(), {formatBad(line.reason()), {}});
      break;
    case ScriptLine::Kind::Call:
      print(line.word(), call(line));
      break;
  }
  return !quit_;
}

void ScriptRunner::add(std::string_view word, Handler handler) {
  addHostCall(word, [this, handler = std::move(handler)](const ScriptLine& line) {
    const PluginGate::Call call(session_.gate());
    return handler(line);
  });
}

void ScriptRunner::addHostCall(std::string_view word, Handler handler) {
  handlers_.emplace(std::string(word), std::move(handler));
}

CallResult ScriptRunner::call(const ScriptLine& line) {
  const auto handler = handlers_.find(line.word());
  if (handler == handlers_.end()) return {formatBad(kNotAvailable), {}};
  // Boxes are looked for only while a call runs: only then can the plug-in open one.
  if (pressesBoxes_) boxes_.start();
  CallResult result;
  try {
    result = handler->second(line);
  } catch (const BadCall& bad) {
    result = {formatBad(bad.what()), {}};
  } catch (...) {
    result = {formatError(resultFromCurrentException()), {}};
  }
  boxes_.stop();
  return result;
}

void ScriptRunner::print(const std::string& word, const CallResult& result) {
  out_ << word << " -> " << result.value << '\n';
  for (const std::string& item : result.items) out_ << "  " << item << '\n';
  // Flushed per call, so a reader sees each result as soon as it exists.
  out_.flush();
}

}  // namespace notecast::host
