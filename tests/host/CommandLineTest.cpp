#include "host/CommandLine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "host/session/HostError.h"
#include "tests/support/TempDir.h"

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
  EXPECT_FALSE(defaults.pluginPath || defaults.scriptPath || defaults.show || defaults.quiet ||
               defaults.midiOut);
  EXPECT_EQ(defaults.projectBase, "");
  EXPECT_TRUE(defaults.connectPorts.empty());
}

TEST(CommandLineTest, TakesValuesAfterAnEqualsSignAsWell) {
  const HostOptions options = parseCommandLine(
      {"--plugin=/x/Notecast.so", "--project=a=b", "--dmx=replay:show", "--loop", "--headless",
       "--midi-out=synth:in 1", "--connect=a:b", "--connect", "c:d"});
  EXPECT_EQ(options.pluginPath, "/x/Notecast.so");
  EXPECT_EQ(options.projectBase, "a=b");  // only the first '=' splits
  EXPECT_EQ(options.dmxSource, "replay:show");
  EXPECT_EQ(options.midiOut, "synth:in 1");
  EXPECT_EQ(options.connectPorts, (std::vector<std::string>{"a:b", "c:d"}));
  EXPECT_EQ(parseCommandLine({"--script=-"}).scriptPath, "-");
  EXPECT_EQ(parseCommandLine({"--register=/x.so"}).registerPath, "/x.so");
  EXPECT_TRUE(parseCommandLine({"--headless", "--quiet"}).quiet);
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
                                             {"--dmx", "replay:"},
                                             {"--plugin="},
                                             {"--project=a", "--project", "b"},
                                             {"--midi-out", "a", "--midi-out=b"},
                                             {"--connect"},
                                             {"--connect", ""},
                                             {"--project", ""},
                                             {"--midi-out", ""},
                                             {"--quiet=yes"},
                                             {"--version=2"},
                                             {"--register=x", "--show"},
                                             {"--list-outputs", "--headless"},
                                             {"--monitor", "--script", "-"},
                                             {"--release-after", "0"},
                                             {"--release-after", "2s"},
                                             {"--release-after=nan"},
                                             {"--release-after", "1", "--keep-notes"},
                                             {"--keep-notes", "--script", "-"},
                                             {"--connect", "--headless"},
                                             {"--project", "--headless"},
                                             {"--midi-out", "--quiet"},
                                             {"--name", "a:b"},
                                             {"--name", " spring"},
                                             {"--name", std::string(49, 'n')},
                                             {"--name", "x", "--script", "-"},
                                             {"--web", "8080", "--script", "-"},
                                             {"--web-token-file", "secret"},
                                             {"--web", "80800"},
                                             {"--web", "example.org:80"}}) {
    EXPECT_THROW(parseCommandLine(arguments), HostError) << arguments.front();
  }
  EXPECT_EQ(parseCommandLine({"--unregister", "/x.so"}).unregisterPath, "/x.so");
  EXPECT_TRUE(parseCommandLine({"--plugin", "/x.so", "--list-outputs"}).listOutputs);
  EXPECT_EQ(parseCommandLine({"--name", "spring show", "--list-outputs"}).clientName,
            "spring show");
  EXPECT_EQ(parseCommandLine({"--release-after=0.5"}).releaseAfter, 0.5);
  const HostOptions web = parseCommandLine({"--web", "0.0.0.0:8080", "--web-token-file", "f"});
  EXPECT_EQ(web.web, "0.0.0.0:8080");
  EXPECT_EQ(web.webTokenFile, "f");
  // A source is checked, not opened: the recording is read when the host starts.
  EXPECT_EQ(parseCommandLine({"--dmx", "replay:/no/such.show"}).dmxSource, "replay:/no/such.show");
}

// An option that needs a value never takes the next option as it: the value forgotten is said,
// with how to write a value that does start with "--".
TEST(CommandLineTest, AnOptionIsNoValue) {
  try {
    parseCommandLine({"--connect", "--headless"});
  } catch (const HostError& error) {
    EXPECT_STREQ(error.what(),
                 "--connect needs a port name, not --headless (a value that starts with -- is "
                 "written --connect=--headless)");
  }
  EXPECT_EQ(parseCommandLine({"--connect=--odd-name"}).connectPorts,
            std::vector<std::string>{"--odd-name"});
  EXPECT_EQ(parseCommandLine({"--script", "-"}).scriptPath, "-") << "standard input";
}

TEST(CommandLineTest, LoopRefusesARecordingThatCannotBeReadAgain) {
  testing::TempDir dir;
  const std::string fifo = dir.file("live.show");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // no writer: opening it would wait for ever
  try {
    parseCommandLine({"--dmx", "replay:" + fifo, "--loop"});
    FAIL() << "accepted";
  } catch (const HostError& error) {
    EXPECT_EQ(std::string(error.what()), "--dmx replay:" + fifo +
                                             ": --loop reads the recording again from its start, "
                                             "but " +
                                             fifo + " is a pipe, which can be read only once");
  }
  EXPECT_THROW(parseCommandLine({"--dmx", "replay:/dev/null", "--loop"}), HostError);
  EXPECT_EQ(parseCommandLine({"--dmx", "replay:" + fifo}).dmxSource, "replay:" + fifo);
  EXPECT_TRUE(parseCommandLine({"--dmx", "replay:/no/such.show", "--loop"}).loop);
}

TEST(CommandLineTest, HelpWinsOverEverythingElseAndTellsTheExitStatuses) {
  EXPECT_TRUE(parseCommandLine({"-h"}).help);
  EXPECT_TRUE(parseCommandLine({"--register", "x", "--help"}).help);
  const std::string help = std::string(kUsage) + kHelp;
  for (const char* option :
       {"--plugin", "--project", "--dmx", "--loop", "--script", "--headless", "--show", "--quiet",
        "--midi-out", "--connect", "--monitor", "--list-outputs", "--register", "--unregister",
        "--web", "--web-token-file", "--help", "--version"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
  for (const char* status : {"\n  0  ", "\n  1  ", "\n  2  the command line"}) {
    EXPECT_NE(help.find(status), std::string::npos) << status;
  }
}

TEST(CommandLineTest, VersionWinsOverEverythingButHelp) {
  EXPECT_TRUE(parseCommandLine({"--version"}).version);
  // Options that could not run together do not stop the version from being told.
  EXPECT_TRUE(parseCommandLine({"--script", "-", "--headless", "--version"}).version);
  EXPECT_EQ(versionLine().rfind("notecast-host ", 0), 0U);
  EXPECT_GT(versionLine().size(), std::string("notecast-host ").size());
}

TEST(CommandLineTest, DefaultProjectFollowsTheXdgRules) {
  EXPECT_EQ(defaultProjectBase("/data", "/home/u"), "/data/notecast/default");
  // An empty or relative XDG_DATA_HOME is to be ignored.
  EXPECT_EQ(defaultProjectBase("", "/home/u"), "/home/u/.local/share/notecast/default");
  EXPECT_EQ(defaultProjectBase("data", "/home/u"), "/home/u/.local/share/notecast/default");
  EXPECT_EQ(defaultProjectBase(nullptr, "/home/u"), "/home/u/.local/share/notecast/default");
  EXPECT_THROW(defaultProjectBase(nullptr, nullptr), HostError);
  EXPECT_THROW(defaultProjectBase("rel", ""), HostError);
}

}  // namespace
}  // namespace notecast::host
