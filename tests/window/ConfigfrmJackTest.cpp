// The window's MIDI path end to end through a real JACK server of the test's own: the user picks
// another client's input port in the device list, the test note and a dispatched DMX change
// arrive there byte for byte.

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "engine/EventType.h"
#include "midi/MidiApiChoice.h"
#include "tests/support/MidiTestSupport.h"
#include "tests/support/PrivateJackServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiInput.h"
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
  int rowOf(Configfrm& window, const std::string& port) {
    int row = -1;
    waitUntil([&] {
      window.fillDeviceList();
      row = window.form().cboMidiOutput->findText(QString::fromStdString(port));
      return row >= 0;
    });
    return row;
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
  Configfrm window;
  window.setProjectBaseSource([&] { return dir.file("show"); });
  window.form();  // loads: the device list is filled
  const int row = rowOf(window, client + ":in");
  ASSERT_GE(row, 1) << "row 0 is the virtual output; the synth's port follows";
  pickComboRow(window.form().cboMidiOutput, row);

  QTest::mouseClick(window.form().cmdSendTestNote, Qt::LeftButton);
  EXPECT_EQ(synth.next(), (Bytes{0x90, 0x40, 0x40}));

  MidiEvent fader;
  fader.DMXChannel = 3;
  fader.Typ = static_cast<std::int32_t>(EventType::Data2FromValue);
  fader.MIDIMessage = 0xB1;
  fader.Data1 = 7;
  fader.SendNoteOff = 1;
  window.table().assign({fader});
  window.ExecuteMidiEvent(3, 255);
  EXPECT_EQ(synth.next(), (Bytes{0xB1, 0x07, 0x7F}));
  EXPECT_EQ(synth.next(), (Bytes{0x81, 0x00, 0x00})) << "the note-off on the record's channel";
}

}  // namespace
}  // namespace notecast::testing
