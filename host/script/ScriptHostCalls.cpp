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

struct Answer {
  std::string_view word;
  BoxAnswer answer;
  QMessageBox::StandardButton button;  // the same on a box the plug-in shows itself
};
constexpr std::array<Answer, 4> kAnswers{{
    {"yes", BoxAnswer::Yes, QMessageBox::Yes},
    {"no", BoxAnswer::No, QMessageBox::No},
    {"cancel", BoxAnswer::Cancel, QMessageBox::Cancel},
    {"ok", BoxAnswer::Ok, QMessageBox::Ok},
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
  for (const Answer& known : kAnswers) {
    if (line.text(0) == known.word) {
      if (HostBoxAnswerer* answerer = session_.boxAnswerer()) answerer->setNextAnswer(known.answer);
      boxes_.setNextAnswer(known.button);
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
