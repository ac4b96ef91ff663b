// The host's look at the event file goes through the built plug-in, loaded in this process and
// asked before Init, as the host asks it.

#include "host/session/EventFileReport.h"

#include <gtest/gtest.h>

#include "abi/NotecastClasses.h"
#include "tests/support/TempDir.h"

namespace notecast::host {
namespace {

TEST(EventFileReportTest, ThePluginNamesTheFileAndWhatKeepsItFromLoading) {
  testing::TempDir dir;
  const std::string base = dir.file("show"), file = dir.file("show.Notecast");
  testing::writeBytes(file, "no sections\r\n");
  const PluginSession session(std::string(NOTECAST_BIN_DIR) + "/Notecast.so", kClsidLumoPlugIn,
                              base);
  EXPECT_EQ(eventFileOf(session, base), file);
  EXPECT_EQ(eventFileProblem(session, base),
            "event file " + file +
                " has neither a [General] nor an [Entry_N] section, so it is no event file: "
                "starting with no events");
}

TEST(EventFileReportTest, ABaseEndingInTheEventFileSuffixIsTakenForAMistake) {
  const PluginSession session(std::string(NOTECAST_BIN_DIR) + "/Notecast.so", kClsidLumoPlugIn, "");
  EXPECT_EQ(projectBaseMistake(session, "shows/demo.Notecast"),
            "--project takes the project without .Notecast (shows/demo.Notecast would be kept in "
            "shows/demo.Notecast.Notecast): did you mean --project shows/demo?");
  for (const char* fine : {"shows/demo", "demo.notecast", "shows/.Notecast", ".Notecast", ""})
    EXPECT_EQ(projectBaseMistake(session, fine), std::nullopt) << fine;
}

}  // namespace
}  // namespace notecast::host
