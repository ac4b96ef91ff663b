// notecast-host --script against the built plug-in: what a script sees, line for line.

#include <gtest/gtest.h>

#include "tests/host/script/ScriptFixture.h"

namespace notecast::host {
namespace {

const QStringList kPluginReport = {
    R"(plugin-name -> "Notecast Plugin")",
    "module-info -> 15",
    R"(  1: "{6f1c2d8e-93a4-4b57-b0de-5a7c41e2f903}")",
    R"(  2: "Notecast")",
    R"(  3: "Sendet Midi Daten")",
};
const QStringList kModuleInfoRest = {
    "  5: 0",
    "  6: -1",
    "  7: 2",
    R"(  8: "Configfrm")",
    "  9: (object ILumoTool,IExternalWindow)",
    "  10: -1",
    "  11: (object ICommandServer)",
    "  12: 0",
    "  13: 0",
    "  14: -1",
    "  15: 9,15,3,22,21,14,35,17,28,25,33,23,34,4,20,30,8,7,6,29,31",
};

using ScriptTest = ScriptFixture;

// The report lines with the author's line (item 4) checked for shape only and left out.
QStringList withoutAuthor(QStringList lines, int authorLine) {
  EXPECT_GT(lines.size(), authorLine);
  if (lines.size() <= authorLine) return lines;
  EXPECT_TRUE(lines[authorLine].startsWith(R"(  4: ")")) << lines[authorLine].toStdString();
  lines.removeAt(authorLine);
  return lines;
}

TEST_F(ScriptTest, PluginReportsItselfAndTakesMessages) {
  const HostRun run = host.runScript("init\nplugin-name\nmodule-info\nmessage 9 1 2\ndisable\n");
  expectCleanRun(run);
  const QStringList expected = QStringList{"init -> True"} + kPluginReport + kModuleInfoRest +
                               QStringList{"message -> 0", "disable -> False"};
  EXPECT_EQ(withoutAuthor(run.out, 6), expected);
}

TEST_F(ScriptTest, LinesNotUnderstoodAreReportedAndTheScriptGoesOn) {
  const HostRun run = host.runScript(
      "# a comment\n"
      "\n"
      "frobnicate\r\n"
      "message 1 2\n"
      "dmx 1 99999999999\n"
      "dmx 1 2x\n"
      "answer maybe\n"
      "ui frob\n"
      "plugin-name\r\n");
  expectCleanRun(run);
  EXPECT_EQ(run.out, (QStringList{
                         R"(frobnicate -> bad "unknown call")",
                         R"(message -> bad "wrong number of arguments")",
                         R"(dmx -> bad "number out of range")",
                         R"(dmx -> bad "not a number")",
                         R"(answer -> bad "unknown answer")",
                         R"(ui -> bad "unknown call")",
                         R"(plugin-name -> "Notecast Plugin")",
                     }));
}

TEST_F(ScriptTest, HostCallsAnswerNothingAndQuitEndsTheScript) {
  const HostRun run = host.run({"--plugin", HostProcess::pluginPath(), "--script", "-"},
                               "project /tmp/a show\nanswer no\nsleep 1\nquit\nplugin-name\n");
  expectCleanRun(run);
  EXPECT_EQ(run.out, (QStringList{"project -> (none)", "answer -> (none)", "sleep -> (none)",
                                  "quit -> (none)"}));
}

// The plug-in's window operations answer False whatever they did; is-open tells what happened.
TEST_F(ScriptTest, WindowCallsFetchTheWindowThemselves) {
  const HostRun run = host.runScript("is-open\nload-window\nis-open\nunload-window\nis-open\n");
  expectCleanRun(run);
  EXPECT_EQ(run.out, (QStringList{"is-open -> False", "load-window -> False", "is-open -> True",
                                  "unload-window -> False", "is-open -> False"}));
}

}  // namespace
}  // namespace notecast::host
