// The host's registry file: sections of other classes survive every write.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "os/ClassRegistry.h"

namespace notecast {
namespace {

std::string readAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ClassRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("registry-test-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    path_ = (dir_ / "sub" / "registry.ini").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path dir_;
  std::string path_;
};

TEST_F(ClassRegistryTest, WriteFindRemoveRoundTrip) {
  ClassRegistry registry(path_);
  EXPECT_FALSE(registry.find("A.Thing"));
  registry.write({"A.Thing", {{"Path", "/x/a.so"}, {"CLSID", "{1}"}}});
  auto found = registry.find("a.thing");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->values.at("Path"), "/x/a.so");
  registry.remove("A.Thing");
  EXPECT_FALSE(registry.find("A.Thing"));
  registry.remove("A.Thing");  // removing twice is no error
}

TEST_F(ClassRegistryTest, OtherSectionsAreKeptAndRewritesReplace) {
  ClassRegistry registry(path_);
  registry.write({"Other.Thing", {{"Path", "/o.so"}}});
  registry.write({"A.Thing", {{"Path", "/old.so"}}});
  registry.write({"A.Thing", {{"Path", "/new.so"}}});
  EXPECT_EQ(registry.find("A.Thing")->values.at("Path"), "/new.so");
  EXPECT_EQ(registry.find("Other.Thing")->values.at("Path"), "/o.so");
  const std::string text = readAll(path_);
  EXPECT_EQ(text.find("/old.so"), std::string::npos);
  registry.remove("A.Thing");
  EXPECT_EQ(readAll(path_), "[Other.Thing]\nPath=/o.so\n");
}

TEST_F(ClassRegistryTest, UnwritableLocationIsReportedAndNothingIsLost) {
  std::filesystem::create_directories(dir_);
  const std::string blocked = (dir_ / "file-not-dir").string();
  std::ofstream(blocked) << "x";
  ClassRegistry registry(blocked + "/registry.ini");
  EXPECT_THROW(registry.write({"A.Thing", {{"Path", "/a.so"}}}), std::exception);
  EXPECT_EQ(readAll(blocked), "x");
}

TEST_F(ClassRegistryTest, DefaultPathFollowsXdgConfigHome) {
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("XDG_CONFIG_HOME", "/tmp/cfg-home", 1);
  EXPECT_EQ(ClassRegistry::defaultPath(), "/tmp/cfg-home/notecast-host/registry.ini");
  ::unsetenv("XDG_CONFIG_HOME");
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(ClassRegistry::defaultPath(), "/home/someone/.config/notecast-host/registry.ini");
  ::setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace notecast
