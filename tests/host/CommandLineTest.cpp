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
                                             {"--register", "x", "--unregister", "x"}}) {
    EXPECT_THROW(parseCommandLine(arguments), HostError) << arguments.front();
  }
  EXPECT_EQ(parseCommandLine({"--unregister", "/x.so"}).unregisterPath, "/x.so");
}

}  // namespace
}  // namespace notecast::host
