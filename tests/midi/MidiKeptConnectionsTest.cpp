// The output control's kept connections on a real JACK server of the test's own: a destination
// that starts after the output opened is connected and gets MIDI, again after it restarts and
// after the server restarts; a connection removed by hand stays removed until then. recover() is
// called as the window calls it, on each notification and while the control asks for the poll.

#include <jack/jack.h>

#include <cstdlib>
#include <memory>

#include "midi/MidiApiChoice.h"
#include "midi/RtMidiOutputControl.h"
#include "tests/support/JackMidiCounter.h"
#include "tests/support/MidiTestSupport.h"
#include "tests/support/PrivateJackServer.h"

namespace notecast::testing {
namespace {

constexpr auto kConnects = 10s;  // generous: a busy two-core machine, a server starting

class MidiKeptConnectionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv(MidiApiChoice::kVariable, "jack", 1);
    serverName_ = PrivateJackServer::uniqueName("notecast-kept");
    startServer();
  }
  void TearDown() override {
    control_.reset();
    synth_.reset();
  }
  void startServer() {
    std::string error;
    server_ = PrivateJackServer::start(serverName_, &error);
    ASSERT_TRUE(server_) << error;
  }
  void startSynth() {
    std::string error;
    synth_ = JackMidiCounter::open(synthName_, &error);
    ASSERT_TRUE(synth_) << error;
  }
  void makeControl(std::vector<std::string> kept) {
    control_ = std::make_unique<RtMidiOutputControl>(MidiApiChoice::fromEnvironment());
    control_->setDeviceReport(reports_.handler());
    control_->setKeptConnections(std::move(kept));
    control_->setDeviceNumber(RtMidiOutputControl::kVirtualDevice);
    control_->setAction(static_cast<std::int32_t>(MidiAction::kOpen));
  }
  void send() {
    control_->setStatusByte(0x90);
    control_->setDataByte1(64);
    control_->setDataByte2(100);
    failureOf([&] { control_->setAction(static_cast<std::int32_t>(MidiAction::kSend)); });
  }
  // Looks again and sends until the synthesizer has more than `before` messages.
  bool reachesSynth(std::int64_t before) {
    return waitUntil(
        [&] {
          control_->recover();
          send();
          return synth_ && synth_->messages() > before;
        },
        kConnects);
  }
  std::string synthPort() const { return synthName_ + ":in"; }

  std::string serverName_;
  std::string synthName_ = ownClientName("synth");
  std::unique_ptr<PrivateJackServer> server_;
  std::unique_ptr<JackMidiCounter> synth_;
  ReportLog reports_;
  std::unique_ptr<RtMidiOutputControl> control_;
};

TEST_F(MidiKeptConnectionsTest, DestinationStartedLaterIsConnectedAgainAfterEachRestart) {
  makeControl({synthPort(), "nobody:in"});
  ASSERT_EQ(control_->status().state, MidiOutputState::kOpen) << reports_.describe();
  startSynth();
  ASSERT_TRUE(reachesSynth(0)) << "a destination that starts later is connected";

  // The user removes the connection by hand: it stays removed while both ports stay.
  jack_client_t* user = jack_client_open(ownClientName("user").c_str(), JackNoStartServer, nullptr);
  ASSERT_NE(user, nullptr);
  const std::string own =
      std::string(RtMidiOutputControl::kClientName) + ":" + RtMidiOutputControl::kPortName;
  ASSERT_EQ(jack_disconnect(user, own.c_str(), synthPort().c_str()), 0);
  jack_client_close(user);
  ASSERT_TRUE(waitUntil([&] {
    const std::int64_t before = synth_->messages();
    send();
    std::this_thread::sleep_for(50ms);
    return synth_->messages() == before;
  }));
  const std::int64_t removed = synth_->messages();
  for (int look = 0; look < 5; ++look) {
    control_->recover();
    send();
  }
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(synth_->messages(), removed) << "a connection removed by hand is not made again";

  // The synthesizer quits and starts again: connected again.
  synth_.reset();
  control_->recover();
  startSynth();
  EXPECT_TRUE(reachesSynth(0)) << "connected again after the destination restarted";

  // The server stops and starts again: the output and its connection come back.
  synth_.reset();
  server_.reset();  // stopped and gone before a server of that name starts again
  ASSERT_TRUE(waitUntil([&] {
    control_->recover();
    return control_->status().state == MidiOutputState::kMissing;
  }));
  startServer();
  startSynth();
  EXPECT_TRUE(reachesSynth(0)) << "connected again after the server restarted\n"
                               << reports_.describe();
}

TEST_F(MidiKeptConnectionsTest, OutputOpenedToAPortIsAlsoConnectedToTheKeptOnes) {
  auto synth = std::make_unique<MidiReader>(ownClientName("chosen"));
  synth->offerPort();
  startSynth();
  control_ = std::make_unique<RtMidiOutputControl>(MidiApiChoice::fromEnvironment());
  control_->setDeviceReport(reports_.handler());
  control_->setKeptConnections({synthPort()});
  control_->setDeviceName(ownClientName("chosen") + ":in");
  control_->setAction(static_cast<std::int32_t>(MidiAction::kOpen));
  ASSERT_EQ(control_->status().state, MidiOutputState::kOpen) << reports_.describe();
  EXPECT_TRUE(reachesSynth(0));
  EXPECT_EQ(synth->next(), (Bytes{0x90, 64, 100})) << "the chosen output gets it too";
}

// JACK renames a second client "Notecast": that plug-in connects from "Notecast-01:out".
TEST_F(MidiKeptConnectionsTest, SecondPlugInOnTheServerConnectsFromItsRenamedPort) {
  RtMidiOutputControl first(MidiApiChoice::fromEnvironment());
  first.setDeviceNumber(RtMidiOutputControl::kVirtualDevice);
  first.setAction(static_cast<std::int32_t>(MidiAction::kOpen));
  startSynth();
  makeControl({synthPort()});
  ASSERT_EQ(control_->status().state, MidiOutputState::kOpen) << reports_.describe();
  EXPECT_TRUE(reachesSynth(0)) << "the second plug-in's kept connection is made";

  jack_client_t* user = jack_client_open(ownClientName("user").c_str(), JackNoStartServer, nullptr);
  ASSERT_NE(user, nullptr);
  const char** connected =
      jack_port_get_all_connections(user, jack_port_by_name(user, synthPort().c_str()));
  ASSERT_NE(connected, nullptr);
  EXPECT_STREQ(connected[0], "Notecast-01:out");
  EXPECT_EQ(connected[1], nullptr);
  jack_free(connected);
  jack_client_close(user);
}

}  // namespace
}  // namespace notecast::testing
