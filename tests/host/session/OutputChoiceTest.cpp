// The host's output choices handed to the built plug-in loaded in this process, as the host
// starts it (Init, the choices, ModuleInfo, LoadProjectData): the run's output wins over the
// event file's, and a synthesizer that starts after the host is connected to the plug-in's port
// and gets its MIDI, again after it restarts. A private JACK server gives the plug-in its MIDI.

#include <gtest/gtest.h>

#include <QTest>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "abi/NotecastClasses.h"
#include "host/session/OutputChoice.h"
#include "host/session/OutputStatusReader.h"
#include "midi/MidiApiChoice.h"
#include "tests/support/BoxAnswerer.h"
#include "tests/support/JackMidiCounter.h"
#include "tests/support/MidiTestSupport.h"
#include "tests/support/PrivateJackServer.h"
#include "tests/support/TempDir.h"

namespace notecast::host {
namespace {

using namespace std::chrono_literals;
using testing::JackMidiCounter;

constexpr auto kConnects = 10s;  // generous: a busy two-core machine
constexpr const char* kVirtualOutput = "Notecast virtual output";

// Stores an output that is not there; channel 1 sends a note-on on every change.
const std::string kEventFile =
    "[General]\r\nMIDIOutputDevice=stored:in\r\nCount=0\r\n"
    "[Entry_0]\r\nDMXChannel=1\r\nData1=60\r\nData2=100\r\nMIDIMessage=144\r\nValue=0\r\n"
    "SendNoteOff=0\r\nSendOnlyOnce=0\r\nShare=0\r\nShareName=\r\nTyp=2\r\n";

class OutputChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv(MidiApiChoice::kVariable, "jack", 1);
    std::string error;
    jack_ = PrivateJackServer::start(PrivateJackServer::uniqueName("notecast-choice"), &error);
    ASSERT_TRUE(jack_) << error;
    testing::writeBytes(dir_.file("show.Notecast"), kEventFile);
    session_ = std::make_unique<PluginSession>(std::string(NOTECAST_BIN_DIR) + "/Notecast.so",
                                               kClsidLumoPlugIn, dir_.file("show"));
    VARIANT_BOOL initialised = VARIANT_FALSE;
    ASSERT_EQ(session_->init(&initialised), S_OK);
  }
  void TearDown() override {
    if (session_) {
      VARIANT_BOOL terminated = VARIANT_FALSE;
      EXPECT_EQ(session_->plugin().Term(&terminated), S_OK);
      session_.reset();
    }
    synth_.reset();
  }

  void loadProject() {
    session_->fetchModuleInfo();
    ASSERT_EQ(session_->windowAs<lumo::ILumoTool>()->LoadProjectData(), S_OK);
  }
  void startSynth() {
    std::string error;
    synth_ = JackMidiCounter::open(synthName_, &error);
    ASSERT_TRUE(synth_) << error;
  }
  // Changes channel 1 and lets the plug-in's window handle what the MIDI system announced,
  // until the synthesizer has got a message.
  bool reachesSynth() {
    const auto deadline = std::chrono::steady_clock::now() + kConnects;
    std::int32_t value = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      std::int32_t msg = lumo::kMessageChannelValue, channel = 1, result = 0;
      value = (value + 1) % 256;
      session_->plugin().MessageHandle(&msg, &channel, &value, &result);
      QTest::qWait(20);
      if (synth_->messages() > 0) return true;
    }
    return false;
  }

  testing::TempDir dir_;
  std::unique_ptr<PrivateJackServer> jack_;
  std::unique_ptr<PluginSession> session_;
  std::string synthName_ = testing::ownClientName("synth");
  std::unique_ptr<JackMidiCounter> synth_;
};

TEST_F(OutputChoiceTest, SynthesizerStartedAfterTheHostIsConnectedAgainAfterItRestarts) {
  EXPECT_EQ(applyOutputChoice(*session_, std::string(kVirtualOutput), {synthName_ + ":in"}),
            std::nullopt);
  loadProject();
  const std::optional<OutputStatusSnapshot> status = readOutputStatus(*session_);
  ASSERT_TRUE(status);
  EXPECT_EQ(status->name, kVirtualOutput) << "the run's output, not the stored one";
  EXPECT_EQ(status->state, OutputState::kOpen);

  startSynth();
  EXPECT_TRUE(reachesSynth()) << "connected once it started";
  synth_.reset();
  QTest::qWait(100);
  startSynth();
  EXPECT_TRUE(reachesSynth()) << "connected again after it restarted";
  EXPECT_EQ(testing::readBytes(dir_.file("show.Notecast")), kEventFile);
}

TEST_F(OutputChoiceTest, WithoutChoicesThePluginIsNotAskedAndTheFileDecides) {
  EXPECT_EQ(applyOutputChoice(*session_, std::nullopt, {}), std::nullopt);
  const testing::BoxAnswerer boxes;  // the stored output is not there, and the plug-in says so
  loadProject();
  ASSERT_EQ(boxes.shown().size(), 1u);
  const std::optional<OutputStatusSnapshot> status = readOutputStatus(*session_);
  ASSERT_TRUE(status);
  EXPECT_EQ(status->name, "stored:in");
  EXPECT_EQ(status->state, OutputState::kMissing);
}

// The synthesizer has the name first: JACK renames ours, and the host says so. Named anew while
// loaded, the plug-in connects again under the new name and keeps its connections.
TEST_F(OutputChoiceTest, TheOwnPortIsToldAsTheMidiSystemNamedIt) {
  startSynth();
  EXPECT_EQ(nameClient(*session_, synthName_), std::nullopt);
  EXPECT_EQ(applyOutputChoice(*session_, std::string(kVirtualOutput), {synthName_ + ":in"}),
            std::nullopt);
  loadProject();
  EXPECT_EQ(ownPortOf(*session_), synthName_ + "-01:out");
  const std::optional<std::string> taken = takenNameWarning(*session_, synthName_);
  ASSERT_TRUE(taken);
  EXPECT_NE(taken->find("own port is " + synthName_ + "-01:out"), std::string::npos) << *taken;
  EXPECT_TRUE(reachesSynth());

  const std::string renamed = testing::ownClientName("spring");
  EXPECT_EQ(nameClient(*session_, renamed), std::nullopt);
  EXPECT_EQ(takenNameWarning(*session_, renamed), std::nullopt);
  const std::optional<OutputStatusSnapshot> status = readOutputStatus(*session_);
  ASSERT_TRUE(status);
  const std::string line = describeOutputStatus(*status);
  EXPECT_EQ(
      line.rfind(std::string("MIDI ") + kVirtualOutput + " (from " + renamed + ":out) open, ", 0),
      0)
      << line;
  synth_.reset();
  startSynth();
  EXPECT_TRUE(reachesSynth()) << "the new port keeps the connection";
}

}  // namespace
}  // namespace notecast::host
