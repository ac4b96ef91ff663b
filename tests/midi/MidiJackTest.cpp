// The MIDI output control on a real JACK server of the test's own: what it lists, what reaches
// a reading client byte for byte, and how each failure is told once.

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "midi/MidiApiChoice.h"
#include "tests/support/MidiTestSupport.h"
#include "tests/support/PrivateJackServer.h"

namespace notecast::testing {
namespace {

constexpr int kManySends = 100;

class MidiJackTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv(MidiApiChoice::kVariable, "jack", 1);
    server_ = PrivateJackServer::start(PrivateJackServer::uniqueName("notecast-test"), &error_);
  }
  static void TearDownTestSuite() { server_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(server_) << error_;
    control_ = createMidiOutputControl();
    control_->setDeviceReport(reports_.handler());
  }

  void open(std::int32_t device) {
    control_->setDeviceNumber(device);
    control_->setAction(static_cast<std::int32_t>(MidiAction::kOpen));
  }
  void close() { control_->setAction(static_cast<std::int32_t>(MidiAction::kClose)); }
  void send(std::int32_t status, std::int32_t data1, std::int32_t data2) {
    control_->setStatusByte(status);
    control_->setDataByte1(data1);
    control_->setDataByte2(data2);
    control_->setAction(static_cast<std::int32_t>(MidiAction::kSend));
  }
  std::optional<std::int32_t> sendFailure() {
    return failureOf([&] { send(0x90, 64, 64); });
  }
  std::string nameOf(std::int32_t device) {
    control_->setDeviceNumber(device);
    return control_->deviceName();
  }
  // Waits until the control lists `count` devices.
  bool listsDevices(int count) {
    return waitUntil([&] { return control_->deviceCount() == count; });
  }

  static std::unique_ptr<PrivateJackServer> server_;
  static std::string error_;
  ReportLog reports_;
  std::unique_ptr<MidiOutputControl> control_;
};

std::unique_ptr<PrivateJackServer> MidiJackTest::server_;
std::string MidiJackTest::error_;

TEST_F(MidiJackTest, ListsTheInputPortsOfOtherClientsButNeverItsOwnPort) {
  MidiReader first(ownClientName("reader-a")), second(ownClientName("reader-b"));
  first.offerPort();
  second.offerPort();
  ASSERT_TRUE(listsDevices(2));
  std::vector<std::string> names{nameOf(0), nameOf(1)};
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{ownClientName("reader-a") + ":in",
                                             ownClientName("reader-b") + ":in"}));
  EXPECT_EQ(nameOf(kVirtualDevice), "Notecast virtual output");
  EXPECT_EQ(failureOf([&] { nameOf(2); }), number(MidiError::kBadDevice));

  open(kVirtualDevice);  // our own port exists now, and is still not a device
  EXPECT_EQ(control_->deviceCount(), 2);
  EXPECT_EQ(reports_.count(MidiReportCode::kOk), 1);
  EXPECT_EQ(reports_.all().size(), 1u) << reports_.describe();
}

TEST_F(MidiJackTest, EachMessageArrivesWithExactlyItsOwnBytes) {
  MidiReader reader(ownClientName("reader"));
  reader.offerPort();
  ASSERT_TRUE(listsDevices(1));
  open(0);
  ASSERT_EQ(reports_.count(MidiReportCode::kOk), 1);
  EXPECT_NE(reports_.all().back().text.find(ownClientName("reader") + ":in"), std::string::npos);

  send(144, 64, 64);
  EXPECT_EQ(reader.next(), (Bytes{0x90, 0x40, 0x40}));
  send(0xC3, 5, 99);  // program change: no second data byte
  EXPECT_EQ(reader.next(), (Bytes{0xC3, 0x05}));
  send(0x90, 200, -5);  // out of range data bytes are clamped
  EXPECT_EQ(reader.next(), (Bytes{0x90, 0x7F, 0x00}));
  send(0xF8, 1, 2);  // timing clock: the status alone
  EXPECT_EQ(reader.next(), (Bytes{0xF8}));
}

TEST_F(MidiJackTest, MessageThatIsNoShortMessageIsSkippedAndToldOnce) {
  MidiReader reader(ownClientName("reader"));
  reader.offerPort();
  ASSERT_TRUE(listsDevices(1));
  open(0);
  EXPECT_EQ(failureOf([&] { send(0x40, 1, 2); }), std::nullopt);
  EXPECT_EQ(failureOf([&] { send(0xF0, 1, 2); }), std::nullopt);
  EXPECT_EQ(failureOf([&] { send(300, 1, 2); }), std::nullopt);
  send(0xB0, 7, 100);
  EXPECT_EQ(reader.next(), (Bytes{0xB0, 0x07, 0x64}));  // nothing went out before it
  EXPECT_EQ(reports_.count(MidiReportCode::kSendFailed), 1);
}

TEST_F(MidiJackTest, VirtualPortDeliversToAClientConnectedToIt) {
  open(kVirtualDevice);
  MidiReader reader(ownClientName("listener"));
  ASSERT_TRUE(waitUntil([&] { return reader.listenTo("Notecast:out"); }));
  ASSERT_TRUE(waitUntil([&] {  // the connection is made in a later JACK cycle
    send(0x91, 60, 1);
    return !reader.next(kPoll * 5).empty();
  }));
  while (!reader.next(kPoll * 5).empty()) {  // probes still on their way
  }
  send(144, 64, 64);
  EXPECT_EQ(reader.next(), (Bytes{0x90, 0x40, 0x40}));
}

TEST_F(MidiJackTest, SendWhileNothingIsOpenFailsAndIsToldOncePerCause) {
  for (int i = 0; i < kManySends; ++i) ASSERT_EQ(sendFailure(), number(MidiError::kNotOpen));
  EXPECT_EQ(reports_.count(MidiReportCode::kNotOpen), 1);

  open(kVirtualDevice);
  EXPECT_EQ(sendFailure(), std::nullopt);
  close();
  close();  // closing nothing does nothing
  EXPECT_EQ(reports_.count(MidiReportCode::kClosed), 1);
  for (int i = 0; i < kManySends; ++i) ASSERT_EQ(sendFailure(), number(MidiError::kNotOpen));
  EXPECT_EQ(reports_.count(MidiReportCode::kNotOpen), 2);
}

TEST_F(MidiJackTest, NoDeviceChosenOpensNothingSilentlyAndTheFirstSendTells) {
  open(kVirtualDevice);
  open(-2);
  EXPECT_TRUE(reports_.all().size() == 1u && reports_.count(MidiReportCode::kOk) == 1)
      << reports_.describe();
  for (int i = 0; i < kManySends; ++i) ASSERT_EQ(sendFailure(), number(MidiError::kNotOpen));
  EXPECT_EQ(reports_.count(MidiReportCode::kNotOpen), 1);
}

TEST_F(MidiJackTest, OpeningADeviceThatDoesNotExistFailsWithOneReport) {
  EXPECT_EQ(failureOf([&] { open(-3); }), number(MidiError::kBadDevice));
  EXPECT_EQ(failureOf([&] { open(control_->deviceCount()); }), number(MidiError::kBadDevice));
  EXPECT_EQ(reports_.count(MidiReportCode::kOpenFailed), 2);
  for (int i = 0; i < kManySends; ++i) ASSERT_EQ(sendFailure(), number(MidiError::kNotOpen));
  EXPECT_EQ(reports_.all().size(), 2u)
      << reports_.describe();  // the failed open already told why nothing is open
}

TEST_F(MidiJackTest, DeviceThatGoesAwayIsClosedAndToldOnce) {
  auto reader = std::make_unique<MidiReader>(ownClientName("reader"));
  reader->offerPort();
  ASSERT_TRUE(listsDevices(1));
  open(0);
  EXPECT_EQ(sendFailure(), std::nullopt);
  reader.reset();
  ASSERT_TRUE(waitUntil([&] { return sendFailure() == number(MidiError::kNotOpen); }));
  for (int i = 0; i < kManySends; ++i) ASSERT_EQ(sendFailure(), number(MidiError::kNotOpen));
  EXPECT_EQ(reports_.count(MidiReportCode::kDeviceGone), 1);
  EXPECT_EQ(reports_.count(MidiReportCode::kNotOpen), 0);
}

TEST_F(MidiJackTest, UnknownSystemSettingFallsBackToTheDefaultAndIsToldOnce) {
  if (MidiApiChoice::sequencerPresent()) GTEST_SKIP() << "the default here is ALSA, not JACK";
  ::setenv(MidiApiChoice::kVariable, "jackd", 1);
  auto control = createMidiOutputControl();
  ::setenv(MidiApiChoice::kVariable, "jack", 1);
  ReportLog reports;
  control->setDeviceReport(reports.handler());
  MidiReader reader(ownClientName("reader"));
  reader.offerPort();
  EXPECT_TRUE(waitUntil([&] { return control->deviceCount() == 1; }));
  ASSERT_EQ(reports.all().size(), 1u) << reports.describe();
  EXPECT_EQ(reports.all()[0].code, MidiReportCode::kBadSetting);
  EXPECT_NE(reports.all()[0].text.find("jackd"), std::string::npos);
}

}  // namespace
}  // namespace notecast::testing
