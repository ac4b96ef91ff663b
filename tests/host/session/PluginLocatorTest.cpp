#include "host/session/PluginLocator.h"

#include <gtest/gtest.h>

#include <fstream>

#include "abi/NotecastClasses.h"
#include "host/session/HostError.h"
#include "tests/support/TempDir.h"

namespace notecast::host {
namespace {

class PluginLocatorTest : public ::testing::Test {
 protected:
  PluginLocatorTest() : registry_(folder_.file("registry.ini")) {
    std::ofstream(installed_) << "library";
  }

  void registerAt(const std::string& path) const {
    registry_.write({kProgIdLumoPlugIn, {{"Path", path}, {"CLSID", toString(kClsidLumoPlugIn)}}});
  }

  notecast::testing::TempDir folder_;
  ClassRegistry registry_;
  const std::string installed_ = folder_.file("Notecast.so");
};

TEST_F(PluginLocatorTest, CommandLineComesFirstThenRegistryThenInstalledLibrary) {
  EXPECT_EQ(locatePlugin(std::string("/given.so"), registry_, installed_).path, "/given.so");
  EXPECT_EQ(locatePlugin(std::nullopt, registry_, installed_).path, installed_);
  EXPECT_EQ(locatePlugin(std::nullopt, registry_, installed_).clsid, kClsidLumoPlugIn);
  registerAt("/registered.so");
  EXPECT_EQ(locatePlugin(std::nullopt, registry_, installed_).path, "/registered.so");
}

TEST_F(PluginLocatorTest, NothingRegisteredOrInstalledNamesBothPlaces) {
  const std::string missing = folder_.file("no/Notecast.so");
  try {
    locatePlugin(std::nullopt, registry_, missing);
    FAIL() << "a plug-in was found";
  } catch (const HostError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("is not registered"), std::string::npos) << message;
    EXPECT_NE(message.find(missing), std::string::npos) << message;
  }
  EXPECT_THROW(locatePlugin(std::nullopt, registry_, ""), HostError);
  EXPECT_THROW(locatePlugin(std::nullopt, registry_, folder_.file("")), HostError);  // a folder
}

TEST_F(PluginLocatorTest, BrokenRegistrationIsReportedRatherThanPassedOver) {
  registry_.write({kProgIdLumoPlugIn, {{"CLSID", toString(kClsidLumoPlugIn)}}});
  EXPECT_THROW(locatePlugin(std::nullopt, registry_, installed_), HostError);
}

TEST(InstalledPluginPathTest, LiesInTheLibraryFolderBesideTheProgram) {
  const std::string path = installedPluginPath();
  EXPECT_NE(path.find("/lib/notecast/Notecast.so"), std::string::npos) << path;
  EXPECT_EQ(path.find(".."), std::string::npos) << path;
}

}  // namespace
}  // namespace notecast::host
