// The plug-in object's output details on a JACK server of the test's own: the host's advice
// where nothing is open, the test note told every time, and the kept connection's state as the
// destination and the window come and go.

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "abi/IOutputChoice.h"
#include "abi/IOutputDetails.h"
#include "midi/MidiApiChoice.h"
#include "plugin/PluginGlobals.h"
#include "plugin/clsLumoPlugIn.h"
#include "tests/plugin/FakeHelper.h"
#include "tests/support/BoxAnswerer.h"
#include "tests/support/JackMidiCounter.h"
#include "tests/support/MidiTestSupport.h"
#include "tests/support/PrivateJackServer.h"
#include "tests/support/TempDir.h"
#include "window/ConfigfrmForm.h"

namespace notecast::testing {
namespace {

TEST(OutputDetailsJackTest, AdviceTestNoteAndKeptConnectionStatesThroughThePlugIn) {
  ::setenv(MidiApiChoice::kVariable, "jack", 1);
  std::string error;
  const auto server =
      PrivateJackServer::start(PrivateJackServer::uniqueName("notecast-details"), &error);
  ASSERT_TRUE(server) << error;
  TempDir dir;
  auto object = makeComObject<clsLumoPlugIn>();
  VARIANT_BOOL ignored = 0;
  object->Init("host", "Notecast.so", FakeHelper::withProject(dir.file("show")).get(), &ignored);
  const std::string synth = ownClientName("synth"), port = synth + ":in";
  const char* ports[] = {port.c_str()};
  ASSERT_EQ(object->put_KeptConnections(ports, 1), S_OK);
  ASSERT_EQ(object->put_OutputAdvice("Choose one with --midi-out NAME."), S_OK);
  auto state = [&] {
    std::string lines;
    EXPECT_EQ(object->get_ConnectionStates(&lines), S_OK);
    return lines.substr(port.size() + 1);
  };
  auto becomes = [&](const std::string& wanted) {
    return waitUntil(
        [&] {
          QApplication::processEvents(QEventLoop::AllEvents, 10);
          return state() == wanted + "\n";
        },
        10s);
  };
  EXPECT_EQ(state(), "waiting\n");

  BoxAnswerer boxes;
  Configfrm& window = PluginGlobals::window();
  ASSERT_EQ(window.LoadProjectData(), S_OK);  // no event file: nothing chosen
  QTest::mouseClick(window.form().cmdSendTestNote, Qt::LeftButton);
  QTest::mouseClick(window.form().cmdSendTestNote, Qt::LeftButton);
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].text,
            "No MIDI output device is open. Choose one with --midi-out NAME.");
  EXPECT_EQ(boxes.shown()[1].text, "The test note was not sent: no MIDI output device is open.");

  ASSERT_EQ(object->put_RunOutput("Notecast virtual output"), S_OK);
  ASSERT_EQ(window.LoadProjectData(), S_OK);
  auto counter = JackMidiCounter::open(synth, &error);
  EXPECT_TRUE(becomes("connected")) << state();
  counter.reset();
  EXPECT_TRUE(becomes("gone")) << state();
  counter = JackMidiCounter::open(synth, &error);
  EXPECT_TRUE(becomes("connected")) << state();
  ASSERT_EQ(window.unloadWindow(&ignored), S_OK);  // our port goes with the window's control
  EXPECT_EQ(state(), "gone\n");
  ASSERT_EQ(window.loadWindow(&ignored), S_OK);
  EXPECT_TRUE(becomes("connected")) << state();
  counter.reset();
}

}  // namespace
}  // namespace notecast::testing
