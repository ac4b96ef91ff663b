// The script calls on the host itself: the open project, answers to message boxes, waiting,
// and the end of the script.

#include <QEventLoop>
#include <QTimer>
#include <array>
#include <utility>

#include "host/script/CallAdapters.h"
#include "host/script/ScriptRunner.h"

namespace notecast::host {
namespace {

constexpr std::array<std::pair<std::string_view, QMessageBox::StandardButton>, 4> kAnswers{{
    {"yes", QMessageBox::Yes},
    {"no", QMessageBox::No},
    {"cancel", QMessageBox::Cancel},
    {"ok", QMessageBox::Ok},
}};

constexpr std::string_view kUnknownAnswer = "unknown answer";
constexpr std::string_view kNegativeTime = "negative time";

CallResult noResult() {
  return {std::string(kNoResult), {}};
}

}  // namespace

void ScriptRunner::addHostCalls() {
  addHostCall("project", [this](const ScriptLine& line) {
    session_.helper().setProjectBase(line.text(0));
    return noResult();
  });
  addHostCall("answer", [this](const ScriptLine& line) { return answer(line); });
  addHostCall("sleep", [this](const ScriptLine& line) { return sleep(line); });
  addHostCall("quit", [this](const ScriptLine&) {
    quit_ = true;
    return noResult();
  });
}

CallResult ScriptRunner::answer(const ScriptLine& line) {
  for (const auto& [word, button] : kAnswers) {
    if (line.text(0) == word) {
      boxes_.setNextAnswer(button);
      return noResult();
    }
  }
  return {formatBad(kUnknownAnswer), {}};
}

CallResult ScriptRunner::sleep(const ScriptLine& line) {
  const std::int32_t milliseconds = line.number(0);
  if (milliseconds < 0) return {formatBad(kNegativeTime), {}};
  // Waiting runs the event loop, so the plug-in's timers and posted work happen meanwhile.
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
  return noResult();
}

}  // namespace notecast::host
