#pragma once
// The fixture of the script tests: each host started here inherits a private JACK server
// through the environment, so the plug-in has its MIDI output (without one it says so in a
// message box).

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "midi/MidiApiChoice.h"
#include "tests/support/HostProcess.h"
#include "tests/support/PrivateJackServer.h"

namespace notecast::host {

class ScriptFixture : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv(MidiApiChoice::kVariable, "jack", 1);
    jack_ = PrivateJackServer::start(PrivateJackServer::uniqueName("notecast-host-test"), &error_);
  }
  static void TearDownTestSuite() { jack_.reset(); }
  void SetUp() override { ASSERT_TRUE(jack_) << error_; }

  // The script ran to its end, and the host gave back every reference, so the library let
  // itself be unloaded without a warning.
  static void expectCleanRun(const HostRun& run) {
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("notecast-host: warning")) << run.err.toStdString();
  }

  static std::string jackLog() { return jack_ ? jack_->log() : std::string(); }

  HostProcess host;

 private:
  static inline std::unique_ptr<PrivateJackServer> jack_;
  static inline std::string error_;
};

}  // namespace notecast::host
