// An output whose name Windows-1252 cannot hold, through a real JACK server of the test's own:
// JACK client names may hold any character, and the event file must find such an output again.

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

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

class ConfigfrmJackNameTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv(MidiApiChoice::kVariable, "jack", 1);
    server_ = PrivateJackServer::start(PrivateJackServer::uniqueName("notecast-names"), &error_);
  }
  static void TearDownTestSuite() { server_.reset(); }

  static std::unique_ptr<PrivateJackServer> server_;
  static std::string error_;
};
std::unique_ptr<PrivateJackServer> ConfigfrmJackNameTest::server_;
std::string ConfigfrmJackNameTest::error_;

QString currentOutput(WindowUnderTest& window) {
  return window.view.form().cboMidiOutput->currentText();
}

TEST_F(ConfigfrmJackNameTest, AnOutputNamedBeyondTheCodePageIsChosenAgainAfterSaveAndLoad) {
  ASSERT_TRUE(server_) << error_;
  // é has a Windows-1252 byte, the note sign and the CJK letters have none.
  const std::string port = ownClientName("Stimme \u00E9 \u266A \u65E5\u672C") + ":in";
  MidiReader synth(port.substr(0, port.size() - 3));
  synth.offerPort();
  const QString portName = QString::fromStdString(port);

  TempDir dir;
  const std::string file = dir.file("show.Notecast");
  {
    WindowUnderTest window;
    window.core.setProjectBaseSource([&] { return dir.file("show"); });
    int row = -1;
    ASSERT_TRUE(waitUntil([&] {
      window.core.fillDeviceList();
      row = window.view.form().cboMidiOutput->findText(portName);
      return row >= 0;
    })) << "the port is listed under its own name";
    pickComboRow(window.view.form().cboMidiOutput, row);
    ASSERT_EQ(window.host.SaveProjectData(), S_OK);
  }
  EXPECT_NE(readBytes(file).find("MIDIOutputDevice=" + port + "\r\n"), std::string::npos)
      << readBytes(file);

  WindowUnderTest window;
  window.core.setProjectBaseSource([&] { return dir.file("show"); });
  ASSERT_EQ(window.host.ClearProjectData(), S_OK);  // the host's start sequence
  ASSERT_EQ(window.host.LoadProjectData(), S_OK);
  EXPECT_EQ(currentOutput(window), portName);
  EXPECT_EQ(window.view.form().cboMidiOutput->currentIndex(),
            window.view.form().cboMidiOutput->findText(portName))
      << "chosen from the list, not added again as a missing output";
  QTest::mouseClick(window.view.form().cmdSendTestNote, Qt::LeftButton);
  EXPECT_EQ(synth.next(), (Bytes{0x90, 0x40, 0x40})) << "the chosen output is that port";

  BoxAnswerer boxes;
  VARIANT_BOOL cancelled = VARIANT_TRUE;
  ASSERT_EQ(window.host.AskToSaveProjectData(&cancelled), S_OK);
  EXPECT_EQ(cancelled, VARIANT_FALSE);
  EXPECT_TRUE(boxes.shown().empty()) << "nothing was edited";
}

}  // namespace
}  // namespace notecast::testing
