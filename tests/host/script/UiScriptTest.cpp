// The ui calls of notecast-host --script: a person at the real window of the built plug-in.

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/host/script/ScriptFixture.h"

namespace notecast::host {
namespace {

using UiScriptTest = ScriptFixture;

// The window as it loads: 39 controls, and a line per row of its drop-downs and its list (the
// device list holds the virtual output only, the entry list the blank entry).
constexpr int kFreshDumpItems = 70;

// Each of `lines` is among the item lines of `out`.
void expectItems(const QStringList& out, std::initializer_list<const char*> lines) {
  for (const char* line : lines) EXPECT_TRUE(out.contains(QString("  ") + line)) << line;
}

TEST_F(UiScriptTest, FreshWindowIsDumpedInTableOrderWithEveryRow) {
  const HostRun run = host.runScript("ui dump\n");
  expectCleanRun(run);
  ASSERT_EQ(run.out.size(), 1 + kFreshDumpItems) << "no box";
  EXPECT_EQ(run.out[0], QString("ui -> %1").arg(kFreshDumpItems));
  EXPECT_EQ(run.out[1], "  Image1 picture enabled 8,8,75,68") << "no blank without a value";
  expectItems(run.out,
              {R"(Label1 label enabled 96,8,209,17 "Notecast Plugin")",
               "MIDIOutput1 midi enabled 432,24,0,0", R"(txtValue text enabled 488,72,33,19 "127")",
               R"(chkShowLine check enabled 48,32,73,13 0 "Show line")"});
  const qsizetype event =
      run.out.indexOf("  cboEvent combo enabled 8,72,353,21 selected=-1 count=5");
  ASSERT_GE(event, 0);
  EXPECT_EQ(run.out[event + 1], R"(  cboEvent[0] "Send static MSG on Channelvalue > Value")");
  EXPECT_EQ(run.out.indexOf(R"(  fraEventSetup frame enabled 8,184,529,249 "Event-Setup:")") + 1,
            run.out.indexOf(R"(  Label10 label enabled 8,16,57,17 "DMX Chan:")"));
}

// ui window never loads the window; every other ui call does, and so does any other load of
// the plug-in (here the project's).
TEST_F(UiScriptTest, WindowReportFollowsLoadShowAndUnload) {
  const HostRun run = host.runScript(
      "ui window\nis-open\nui click cmdNew\nui window\nshow-window\nui window\n"
      "unload-window\nui window\nload\nui window\n");
  expectCleanRun(run);
  EXPECT_EQ(run.out,
            (QStringList{"ui -> unloaded", "is-open -> False", "ui -> (none)",
                         "ui -> hidden left=0 top=0 state=0", "show-window -> False",
                         "ui -> shown left=0 top=0 state=0", "unload-window -> False",
                         "ui -> unloaded", "load -> (none)", "ui -> hidden left=0 top=0 state=0"}));
}

TEST_F(UiScriptTest, InputShowsInTheControls) {
  const HostRun run = host.runScript(
      "ui select lstView 0\nui click chkShowLine\nui type txtData1 12\n"
      "ui type txtShareName my \"share\" ä€\nui clear txtValue\nui pick cboMIDIChannel 15\n"
      "ui pick cboMidiOutput 0\nui click cmdSendTestNote\nui dump\n");
  expectCleanRun(run);
  ASSERT_EQ(run.out.size(), 9 + kFreshDumpItems) << "no box: the virtual output opened";
  EXPECT_EQ(run.out.mid(0, 8), QStringList(8, "ui -> (none)"));
  expectItems(run.out, {R"(chkShowLine check enabled 48,32,73,13 1 "Show line")",
                        R"(txtData1 text enabled 408,72,33,19 "12")",
                        R"(txtShareName text enabled 224,32,89,19 "my \"share\" ä€")",
                        R"(txtValue text enabled 488,72,33,19 "")",
                        "cboMIDIChannel combo enabled 480,32,41,21 selected=15 count=16",
                        "lstView list enabled 8,96,513,108 selected=0 count=1",
                        R"(lstView[0] "Chan: 0, Typ: 0, MSG: 9F, Data1: 12, Data2: 0, Value: 127, )"
                        R"(NoteOff: No, Once: No, Share: No, Name: my \"share\" ä€")",
                        "cboMidiOutput combo enabled 8,40,393,21 selected=0 count=1"});
}

// Without a JACK server the window's load tells the cause in one box, printed before the load's
// result; picking the output again needs the same server and adds no second box for it.
TEST_F(UiScriptTest, BoxesComeBeforeTheResultAndOncePerCause) {
  const std::string server = std::getenv("JACK_DEFAULT_SERVER");
  ::setenv("JACK_DEFAULT_SERVER", "notecast-no-such-server", 1);
  const HostRun run = host.runScript("load-window\nui pick cboMidiOutput 0\n");
  ::setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
  expectCleanRun(run);
  ASSERT_EQ(run.out.size(), 3) << run.out.join('\n').toStdString();
  EXPECT_EQ(run.out[0],
            R"(box "Notecast" "No MIDI output is possible: no JACK server is running." [OK*] none)"
            R"( -> OK)");
  EXPECT_TRUE(run.out[1].startsWith("load-window -> "));
  EXPECT_EQ(run.out[2], "ui -> (none)");
}

TEST_F(UiScriptTest, UnknownControlsWrongKindsAndRowsAreBadLines) {
  const HostRun run = host.runScript(
      "ui click cmdNope\nui type Label1 x\nui select cboEvent 0\nui pick cboEvent 5\n"
      "ui select lstView -1\nui type txtData1 \nui wave\n");
  expectCleanRun(run);
  EXPECT_EQ(
      run.out,
      (QStringList{R"(ui -> bad "unknown control")", R"(ui -> bad "wrong kind of control")",
                   R"(ui -> bad "wrong kind of control")", R"(ui -> bad "row out of range")",
                   R"(ui -> bad "row out of range")", R"(ui -> bad "wrong number of arguments")",
                   R"(ui -> bad "unknown call")"}));
}

}  // namespace
}  // namespace notecast::host
