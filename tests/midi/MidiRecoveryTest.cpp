// The MIDI output control when its output goes away and comes back, on real JACK servers of the
// test's own: the loss and the return are told once each, the chosen output stays chosen by
// name, and messages flow again without another open from outside (recover() is what the
// window calls when the control's notifier wakes it).

#include <jack/jack.h>

#include <atomic>
#include <cstdlib>
#include <memory>

#include "midi/MidiApiChoice.h"
#include "midi/RtMidiOutputControl.h"
#include "tests/support/MidiTestSupport.h"
#include "tests/support/PrivateJackServer.h"

namespace notecast::testing {
namespace {

constexpr auto kRecovers = 10s;  // generous: a busy two-core machine, a server starting

class MidiRecoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv(MidiApiChoice::kVariable, "jack", 1);
    serverName_ = PrivateJackServer::uniqueName("notecast-recovery");
    startServer();
  }
  void startServer() {
    std::string error;
    server_ = PrivateJackServer::start(serverName_, &error);
    ASSERT_TRUE(server_) << error;
  }
  void makeControl(std::shared_ptr<MidiToldCauses> told = std::make_shared<MidiToldCauses>()) {
    control_ = std::make_unique<RtMidiOutputControl>(MidiApiChoice::fromEnvironment(), told);
    control_->setDeviceReport(reports_.handler());
    control_->setChangeNotifier([this] { ++notified_; });
  }
  void openNamed(const std::string& name) {
    control_->setDeviceName(name);
    control_->setAction(static_cast<std::int32_t>(MidiAction::kOpen));
  }
  std::optional<std::int32_t> sendFailure(int key = 64) {
    return failureOf([&] {
      control_->setStatusByte(0x90);
      control_->setDataByte1(key);
      control_->setDataByte2(100);
      control_->setAction(static_cast<std::int32_t>(MidiAction::kSend));
    });
  }
  // Calls recover(), as the window does on each wake-up or poll, until the output is in `state`.
  bool recoversTo(MidiOutputState state) {
    return waitUntil(
        [&] {
          control_->recover();
          return control_->status().state == state;
        },
        kRecovers);
  }

  std::string serverName_;
  std::unique_ptr<PrivateJackServer> server_;
  ReportLog reports_;
  std::atomic<int> notified_{0};
  std::unique_ptr<RtMidiOutputControl> control_;
};

TEST_F(MidiRecoveryTest, DestinationThatQuitsAndStartsAgainGetsMessagesAgainToldOnceEach) {
  const std::string port = ownClientName("synth") + ":in";
  auto synth = std::make_unique<MidiReader>(ownClientName("synth"));
  synth->offerPort();
  makeControl();
  ASSERT_TRUE(waitUntil([&] { return control_->deviceCount() == 1; }));
  openNamed(port);
  ASSERT_EQ(sendFailure(), std::nullopt);
  EXPECT_EQ(synth->next(), (Bytes{0x90, 64, 100}));

  const int notifiedBefore = notified_.load();
  synth.reset();  // the synthesizer quits
  ASSERT_TRUE(waitUntil([&] { return notified_.load() > notifiedBefore; }))
      << "the MIDI system's notification wakes the owner";
  ASSERT_TRUE(recoversTo(MidiOutputState::kMissing));
  EXPECT_EQ(control_->status().name, port) << "the chosen output stays chosen by its name";
  for (int i = 0; i < 100; ++i) ASSERT_EQ(sendFailure(), number(MidiError::kNotOpen));

  synth = std::make_unique<MidiReader>(ownClientName("synth"));  // ... and starts again
  synth->offerPort();
  ASSERT_TRUE(recoversTo(MidiOutputState::kOpen)) << reports_.describe();
  ASSERT_EQ(sendFailure(61), std::nullopt);
  EXPECT_EQ(synth->next(), (Bytes{0x90, 61, 100}));

  ASSERT_EQ(reports_.all().size(), 3u) << reports_.describe();
  EXPECT_EQ(reports_.all()[1].code, MidiReportCode::kDeviceGone);
  EXPECT_NE(reports_.all()[1].text.find(port), std::string::npos);
  EXPECT_EQ(reports_.all()[2].code, MidiReportCode::kDeviceBack);
  EXPECT_EQ(reports_.all()[2].text, "MIDI output " + port + " is back");
}

TEST_F(MidiRecoveryTest, JackServerRestartMakesTheVirtualPortAgain) {
  makeControl();
  openNamed(RtMidiOutputControl::kVirtualDeviceName);
  ASSERT_EQ(control_->status().state, MidiOutputState::kOpen);

  server_.reset();  // stopped and gone before a server of that name starts again
  ASSERT_TRUE(recoversTo(MidiOutputState::kMissing));
  for (int i = 0; i < 100; ++i) ASSERT_EQ(sendFailure(), number(MidiError::kNotOpen));
  EXPECT_TRUE(control_->recover()) << "while the server is away the owner must poll";

  startServer();
  ASSERT_TRUE(recoversTo(MidiOutputState::kOpen)) << reports_.describe();
  EXPECT_FALSE(control_->recover()) << "nothing is missing any more";
  MidiReader listener(ownClientName("listener"));
  ASSERT_TRUE(waitUntil([&] { return listener.listenTo("Notecast:out"); }, kRecovers));
  ASSERT_TRUE(waitUntil([&] {  // the connection is made in a later JACK cycle
    return sendFailure() == std::nullopt && !listener.next(kPoll * 5).empty();
  }));

  ASSERT_EQ(reports_.count(MidiReportCode::kNoMidiSystem), 1) << reports_.describe();
  ASSERT_EQ(reports_.count(MidiReportCode::kDeviceBack), 1) << reports_.describe();
  EXPECT_EQ(reports_.all().back().text, "MIDI output Notecast virtual output is back");
  EXPECT_EQ(reports_.count(MidiReportCode::kNotOpen), 0);
}

// A JACK client that makes its input port before it activates, as most programs do: until it
// is active no connection to it can be made.
class LateClient {
 public:
  explicit LateClient(const std::string& name)
      : client_(jack_client_open(name.c_str(), JackNoStartServer, nullptr)) {
    if (client_)
      port_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
  }
  ~LateClient() {
    if (client_) jack_client_close(client_);
  }
  bool made() const { return port_ != nullptr; }
  void activate() { jack_activate(client_); }
  bool connected() const { return jack_port_connected(port_) > 0; }

 private:
  jack_client_t* client_;
  jack_port_t* port_ = nullptr;
};

TEST_F(MidiRecoveryTest, OutputChosenBeforeItExistsOpensOnceItTakesConnections) {
  const std::string port = ownClientName("late") + ":in";
  makeControl();
  openNamed(port);
  EXPECT_EQ(control_->status().state, MidiOutputState::kMissing);
  EXPECT_EQ(control_->status().name, port);
  EXPECT_TRUE(control_->recover());

  LateClient late(ownClientName("late"));
  ASSERT_TRUE(late.made());
  ASSERT_TRUE(waitUntil([&] { return control_->deviceCount() == 1; }));
  control_->recover();
  EXPECT_EQ(control_->status().state, MidiOutputState::kMissing)
      << "a port that takes no connection yet is not open";

  late.activate();
  ASSERT_TRUE(recoversTo(MidiOutputState::kOpen)) << reports_.describe();
  EXPECT_TRUE(waitUntil([&] { return late.connected(); }));
  ASSERT_EQ(reports_.all().size(), 2u) << reports_.describe();
  EXPECT_EQ(reports_.all()[0].code, MidiReportCode::kOpenFailed);
  EXPECT_EQ(reports_.all()[1].code, MidiReportCode::kDeviceBack);
}

TEST_F(MidiRecoveryTest, CauseToldThroughOneControlIsNotToldAgainThroughTheNext) {
  server_.reset();
  auto told = std::make_shared<MidiToldCauses>();
  for (int load = 0; load < 3; ++load) {  // the window loads, unloads and loads again
    makeControl(told);
    EXPECT_EQ(control_->deviceCount(), 0);
    openNamed(RtMidiOutputControl::kVirtualDeviceName);
    for (int i = 0; i < 10; ++i) ASSERT_EQ(sendFailure(), number(MidiError::kNotOpen));
    control_.reset();
  }
  EXPECT_EQ(reports_.all().size(), 1u) << reports_.describe();

  startServer();  // the cause is over: the output opens, and says so
  makeControl(told);
  openNamed(RtMidiOutputControl::kVirtualDeviceName);
  EXPECT_EQ(control_->status().state, MidiOutputState::kOpen);
  EXPECT_EQ(reports_.all().back().code, MidiReportCode::kDeviceBack);
}

}  // namespace
}  // namespace notecast::testing
