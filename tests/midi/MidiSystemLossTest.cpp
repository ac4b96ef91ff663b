// The MIDI output control without a MIDI system, and when the JACK server stops under it: one
// report, nothing printed, and no send ever blocks (RtMidi's JACK output busy-waits once its
// buffer is full if nothing drains it).

#include <chrono>
#include <cstdlib>
#include <memory>

#include "midi/JackServerWatch.h"
#include "midi/MidiApiChoice.h"
#include "midi/MidiChangeSignal.h"
#include "midi/MidiToldCauses.h"
#include "midi/QuietMidiLibraries.h"
#include "tests/support/MidiTestSupport.h"
#include "tests/support/PrivateJackServer.h"

namespace notecast::testing {
namespace {

constexpr int kMoreSendsThanRtMidiBuffers = 3000;  // its 16 KiB hold about 2300 notes
constexpr auto kNoHang = 5s;

class MidiSystemLossTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv(MidiApiChoice::kVariable, "jack", 1);
    // What an earlier test of this process was told must not keep this one's report back.
    *MidiToldCauses::processWide() = MidiToldCauses{};
  }

  void start() {
    control_ = createMidiOutputControl();
    control_->setDeviceReport(reports_.handler());
  }
  void open(std::int32_t device) {
    control_->setDeviceNumber(device);
    control_->setAction(static_cast<std::int32_t>(MidiAction::kOpen));
  }
  std::optional<std::int32_t> sendFailure() {
    return failureOf([&] {
      control_->setStatusByte(0x90);
      control_->setDataByte1(64);
      control_->setDataByte2(64);
      control_->setAction(static_cast<std::int32_t>(MidiAction::kSend));
    });
  }
  void expectEverySendFailsAsNotOpen() {
    const auto began = std::chrono::steady_clock::now();
    for (int i = 0; i < kMoreSendsThanRtMidiBuffers; ++i)
      ASSERT_EQ(sendFailure(), number(MidiError::kNotOpen));
    EXPECT_LT(std::chrono::steady_clock::now() - began, kNoHang);
  }

  ReportLog reports_;
  std::unique_ptr<MidiOutputControl> control_;
  std::string error_;
};

TEST_F(MidiSystemLossTest, JackWithoutServerIsToldOnceAndNothingIsPrinted) {
  ::setenv("JACK_DEFAULT_SERVER", PrivateJackServer::uniqueName("notecast-none").c_str(), 1);
  ::testing::internal::CaptureStderr();
  const auto began = std::chrono::steady_clock::now();
  start();
  EXPECT_EQ(control_->deviceCount(), 0);
  EXPECT_EQ(control_->deviceCount(), 0);
  EXPECT_EQ(reports_.count(MidiReportCode::kNoMidiSystem), 1);

  EXPECT_EQ(failureOf([&] { open(kVirtualDevice); }), std::nullopt);  // chosen, not thrown
  EXPECT_EQ(control_->status().state, MidiOutputState::kMissing);
  expectEverySendFailsAsNotOpen();
  EXPECT_EQ(reports_.all().size(), 1u) << "one cause, one report:\n" << reports_.describe();
  EXPECT_LT(std::chrono::steady_clock::now() - began, kNoHang);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(MidiSystemLossTest, AlsaWithoutSequencerIsToldOnceAndNothingIsPrinted) {
  if (MidiApiChoice::sequencerPresent()) GTEST_SKIP() << "this machine has an ALSA sequencer";
  ::setenv(MidiApiChoice::kVariable, "alsa", 1);
  ::testing::internal::CaptureStderr();
  start();
  EXPECT_EQ(control_->deviceCount(), 0);
  EXPECT_EQ(control_->deviceCount(), 0);
  EXPECT_EQ(reports_.count(MidiReportCode::kNoMidiSystem), 1);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(MidiSystemLossTest, ServerStoppingClosesTheOutputWithOneReport) {
  std::string error;
  auto server =
      PrivateJackServer::start(PrivateJackServer::uniqueName("notecast-stopping"), &error);
  ASSERT_TRUE(server) << error;
  start();
  open(kVirtualDevice);
  ASSERT_EQ(sendFailure(), std::nullopt);

  server->stop();
  ASSERT_TRUE(waitUntil([&] { return sendFailure() == number(MidiError::kNotOpen); }));
  expectEverySendFailsAsNotOpen();
  EXPECT_EQ(control_->deviceCount(), 0);
  EXPECT_EQ(reports_.count(MidiReportCode::kNoMidiSystem), 1);
  EXPECT_EQ(reports_.count(MidiReportCode::kNotOpen), 0);
}

// Once a server has gone, libjack's next client open closes and deletes every client of the
// process still open: the watch must not close (or use) its client after that.
TEST_F(MidiSystemLossTest, AWatchWhoseClientLibjackDeletedIsNotClosedAgain) {
  auto jack = PrivateJackServer::start(PrivateJackServer::uniqueName("notecast-loss"), &error_);
  ASSERT_TRUE(jack) << error_;
  auto changes = std::make_shared<MidiChangeSignal>();
  auto watch = JackServerWatch::connect(changes, "Notecast");
  ASSERT_TRUE(watch);
  jack.reset();
  ASSERT_TRUE(waitUntil([&] { return !watch->running(); }, kNoHang));
  const std::uint64_t cleanups = QuietMidiLibraries::jackCleanups();
  EXPECT_FALSE(JackServerWatch::connect(changes, "Notecast")) << "no server to connect to";
  EXPECT_EQ(QuietMidiLibraries::jackCleanups(), cleanups + 1)
      << "libjack deleted the watch's client";
  EXPECT_FALSE(watch->running());
  watch.reset();  // a close of the deleted client would use freed memory
}

}  // namespace
}  // namespace notecast::testing
