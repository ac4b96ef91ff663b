// The window's MIDI path end to end through a real JACK server of the test's own: the user picks
// another client's input port in the device list, the test note and a dispatched DMX change
// arrive there byte for byte; ports that come and go show in the list, a destination that quits
// and starts again gets MIDI again, and a missing MIDI system is told once.

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "engine/EventType.h"
#include "midi/MidiApiChoice.h"
#include "tests/support/BoxAnswerer.h"
#include "tests/support/MidiTestSupport.h"
#include "tests/support/PrivateJackServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiInput.h"
#include "tests/window/WindowUnderTest.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"

namespace notecast::testing {
namespace {

class ConfigfrmJackTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv(MidiApiChoice::kVariable, "jack", 1);
    server_ = PrivateJackServer::start(PrivateJackServer::uniqueName("notecast-window"), &error_);
  }
  static void TearDownTestSuite() { server_.reset(); }

  // The row of the device list that names `port`, after the list was filled again.
  int rowOf(WindowUnderTest& window, const std::string& port) {
    int row = -1;
    waitUntil([&] {
      window.core.fillDeviceList();
      row = window.view.form().cboMidiOutput->findText(QString::fromStdString(port));
      return row >= 0;
    });
    return row;
  }

  // Runs the window's event loop (the relay's queued calls, its poll) until `condition` holds.
  static bool processUntil(const std::function<bool()>& condition) {
    return waitUntil(
        [&] {
          QApplication::processEvents(QEventLoop::AllEvents, 10);
          return condition();
        },
        10s);
  }
  static bool lists(WindowUnderTest& window, const std::string& port) {
    return window.view.form().cboMidiOutput->findText(QString::fromStdString(port)) >= 0;
  }

  static std::unique_ptr<PrivateJackServer> server_;
  static std::string error_;
};
std::unique_ptr<PrivateJackServer> ConfigfrmJackTest::server_;
std::string ConfigfrmJackTest::error_;

TEST_F(ConfigfrmJackTest, TestNoteAndDispatchedChangeReachTheChosenPort) {
  ASSERT_TRUE(server_) << error_;
  const std::string client = "synth-" + std::to_string(::getpid());
  MidiReader synth(client);
  synth.offerPort();

  TempDir dir;
  WindowUnderTest window;
  window.core.setProjectBaseSource([&] { return dir.file("show"); });
  window.view.form();  // loads: the device list is filled
  const int row = rowOf(window, client + ":in");
  ASSERT_GE(row, 1) << "row 0 is the virtual output; the synth's port follows";
  pickComboRow(window.view.form().cboMidiOutput, row);

  QTest::mouseClick(window.view.form().cmdSendTestNote, Qt::LeftButton);
  EXPECT_EQ(synth.next(), (Bytes{0x90, 0x40, 0x40}));

  MidiEvent fader;
  fader.DMXChannel = 3;
  fader.Typ = static_cast<std::int32_t>(EventType::Data2FromValue);
  fader.MIDIMessage = 0xB1;
  fader.Data1 = 7;
  fader.SendNoteOff = 1;
  window.core.table().assign({fader});
  window.core.ExecuteMidiEvent(3, 255);
  EXPECT_EQ(synth.next(), (Bytes{0xB1, 0x07, 0x7F}));
  EXPECT_EQ(synth.next(), (Bytes{0x81, 0x00, 0x00})) << "the note-off on the record's channel";
}

TEST_F(ConfigfrmJackTest, PortsThatComeAndGoShowAndTheChosenOneGetsMidiAgainWhenBack) {
  ASSERT_TRUE(server_) << error_;
  const std::string client = ownClientName("returning");
  const std::string port = client + ":in";
  TempDir dir;
  WindowUnderTest window;
  window.core.setProjectBaseSource([&] { return dir.file("show"); });
  VARIANT_BOOL ignored = 0;
  window.view.form();
  ASSERT_EQ(window.host.showWindow(&ignored), S_OK);
  BoxAnswerer boxes;

  auto synth = std::make_unique<MidiReader>(client);
  synth->offerPort();
  ASSERT_TRUE(processUntil([&] { return lists(window, port); })) << "announced, not asked for";
  pickComboRow(window.view.form().cboMidiOutput,
               window.view.form().cboMidiOutput->findText(QString::fromStdString(port)));
  QTest::mouseClick(window.view.form().cmdSendTestNote, Qt::LeftButton);
  EXPECT_EQ(synth->next(), (Bytes{0x90, 0x40, 0x40}));

  synth.reset();  // quits
  ASSERT_TRUE(processUntil([&] { return boxes.shown().size() == 1; }));
  EXPECT_EQ(window.core.outputStatus().state, MidiOutputState::kMissing);
  EXPECT_EQ(window.view.form().cboMidiOutput->currentText().toStdString(), port) << "still chosen";

  synth = std::make_unique<MidiReader>(client);  // ... and starts again
  synth->offerPort();
  ASSERT_TRUE(
      processUntil([&] { return window.core.outputStatus().state == MidiOutputState::kOpen; }));
  QTest::mouseClick(window.view.form().cmdSendTestNote, Qt::LeftButton);
  EXPECT_EQ(synth->next(), (Bytes{0x90, 0x40, 0x40}));
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].text, "MIDI output " + port + " is back");
}

TEST_F(ConfigfrmJackTest, NoMidiSystemIsOneBoxThroughStartSendsAndReloadThenOneWhenItIsBack) {
  ASSERT_TRUE(server_) << error_;
  const std::string serverName = server_->name();
  ::setenv("JACK_DEFAULT_SERVER", PrivateJackServer::uniqueName("notecast-absent").c_str(), 1);
  TempDir dir;
  writeBytes(dir.file("show.Notecast"),
             "[General]\r\nMIDIOutputDevice=Notecast virtual output\r\nCount=0\r\n"
             "[Entry_0]\r\nDMXChannel=1\r\nMIDIMessage=176\r\nData1=7\r\nTyp=4\r\n");
  WindowUnderTest window;
  window.core.setProjectBaseSource([&] { return dir.file("show"); });
  BoxAnswerer boxes;
  ASSERT_EQ(window.host.ClearProjectData(), S_OK);  // the host's start sequence
  ASSERT_EQ(window.host.LoadProjectData(), S_OK);
  for (int value = 0; value < 20; ++value)
    EXPECT_NE(failureOf([&] { window.core.ExecuteMidiEvent(1, value); }), std::nullopt);
  VARIANT_BOOL ignored = 0;
  ASSERT_EQ(window.host.unloadWindow(&ignored),
            S_OK);  // the frame's close button, and a send loads
  EXPECT_NE(failureOf([&] { window.core.ExecuteMidiEvent(1, 100); }), std::nullopt);
  QApplication::processEvents();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "No MIDI output is possible: no JACK server is running.");

  ::setenv("JACK_DEFAULT_SERVER", serverName.c_str(), 1);  // a server runs: found by the poll
  ASSERT_TRUE(
      processUntil([&] { return window.core.outputStatus().state == MidiOutputState::kOpen; }));
  EXPECT_EQ(failureOf([&] { window.core.ExecuteMidiEvent(1, 50); }), std::nullopt);
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].text, "MIDI output Notecast virtual output is back");
}

}  // namespace
}  // namespace notecast::testing
