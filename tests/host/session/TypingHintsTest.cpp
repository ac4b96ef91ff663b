// The "did you mean" hints: close names are named, far ones only pointed to --list-outputs,
// names that are there get no hint.

#include "host/session/TypingHints.h"

#include <gtest/gtest.h>

#include "host/session/CloseName.h"
#include "tests/support/TempDir.h"

namespace notecast::host {
namespace {

TEST(TypingHintsTest, CloseNamesAreOffByCaseOrAFewLetters) {
  const std::vector<std::string> names{"midi-monitor:input", "synth:in", "Notecast virtual output"};
  for (const auto& [typed, meant] : std::vector<std::pair<std::string, std::string>>{
           {"midi-monitr:input", "midi-monitor:input"},  // a letter left out
           {"MIDI-Monitor:input", "midi-monitor:input"},
           {"sytnh:in", "synth:in"},  // two letters swapped
           {"notecast virtual outptu", "Notecast virtual output"}}) {
    EXPECT_EQ(closeName(typed, names), meant) << typed;
  }
  for (const std::string typed : {"synth:in", "nosuch:port", "synth:out2", "s:in"})
    EXPECT_EQ(closeName(typed, names), std::nullopt) << typed;
}

TEST(TypingHintsTest, PortsNotThereArePointedToTheList) {
  const std::string list = "Notecast virtual output\nmidi-monitor:input\nsynth:in 20:0\n";
  const std::vector<std::string> hints =
      portHints(list, std::string("nosuch:port"),
                {"midi-monitr:input", "synth:in", "synth:in 20:0", "20:0", "midi-monitor:input"});
  ASSERT_EQ(hints.size(), 2u);
  EXPECT_EQ(hints[0],
            "--midi-out nosuch:port: no such port now; notecast-host --list-outputs lists the "
            "ports there are");
  EXPECT_EQ(hints[1],
            "--connect midi-monitr:input: no such port now; did you mean midi-monitor:input? "
            "notecast-host --list-outputs lists the ports there are");
}

TEST(TypingHintsTest, AProjectInAnotherCaseIsFound) {
  testing::TempDir dir;
  testing::writeBytes(dir.file("demo.Notecast"), "");
  const std::string typed = dir.file("Demo");
  EXPECT_EQ(projectHint(typed, typed + ".Notecast"), "did you mean --project " + dir.file("demo") +
                                                         "? (" + dir.file("demo.Notecast") +
                                                         " is there)");
  EXPECT_EQ(projectHint(dir.file("demo"), dir.file("demo.Notecast")), std::nullopt) << "there";
  EXPECT_EQ(projectHint(dir.file("spring"), dir.file("spring.Notecast")), std::nullopt) << "far";
}

}  // namespace
}  // namespace notecast::host
