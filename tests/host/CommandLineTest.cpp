#include "host/CommandLine.h"

#include <gtest/gtest.h>

#include "host/session/HostError.h"

namespace notecast::host {
namespace {

TEST(CommandLineTest, ReadsEveryRunOption) {
  const HostOptions options = parseCommandLine(
      {"--script", "-", "--project", "examples/demo", "--show", "--plugin", "/x/Notecast.so"});
  EXPECT_EQ(options.pluginPath, "/x/Notecast.so");
  EXPECT_EQ(options.projectBase, "examples/demo");
  EXPECT_EQ(options.scriptPath, "-");
  EXPECT_TRUE(options.show);
  EXPECT_FALSE(options.registerPath || options.unregisterPath);

  const HostOptions defaults = parseCommandLine({});
  EXPECT_FALSE(defaults.pluginPath || defaults.scriptPath || defaults.show);
  EXPECT_EQ(defaults.projectBase, "");
}

TEST(CommandLineTest, RejectsWhatItCannotRun) {
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"--plugins", "x"},
                                             {"--script"},
                                             {"--project", "a", "--project", "b"},
                                             {"--register", "x", "--show"},
                                             {"--register", "x", "--unregister", "x"},
                                             {"--dmx", "ola:0"},
                                             {"--dmx", "midi:1"},
                                             {"--dmx", "replay:"}}) {
    EXPECT_THROW(parseCommandLine(arguments), HostError) << arguments.front();
  }
  EXPECT_EQ(parseCommandLine({"--unregister", "/x.so"}).unregisterPath, "/x.so");
  // A source is checked, not opened: the recording is read when the host starts.
  EXPECT_EQ(parseCommandLine({"--dmx", "replay:/no/such.show"}).dmxSource, "replay:/no/such.show");
}

TEST(CommandLineTest, HelpWinsOverEverythingElseAndTellsTheExitStatuses) {
  EXPECT_TRUE(parseCommandLine({"-h"}).help);
  EXPECT_TRUE(parseCommandLine({"--register", "x", "--help"}).help);
  const std::string help = std::string(kUsage) + kHelp;
  for (const char* option : {"--plugin", "--project", "--dmx", "--loop", "--script", "--headless",
                             "--show", "--register", "--unregister", "--help"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
  for (const char* status : {"\n  0  ", "\n  1  ", "\n  2  the command line"}) {
    EXPECT_NE(help.find(status), std::string::npos) << status;
  }
}

}  // namespace
}  // namespace notecast::host
