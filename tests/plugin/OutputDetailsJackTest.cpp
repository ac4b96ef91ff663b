// The plug-in object on a JACK server of the test's own: the host's advice where nothing is
// open, and a kept connection's state as its destination and the window come and go.

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

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

TEST(OutputDetailsJackTest, AdviceAndKeptConnectionStatesThroughThePlugIn) {
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
  auto isNow = [&](const std::string& state) {
    return waitUntil(
        [&] {
          QApplication::processEvents(QEventLoop::AllEvents, 10);
          std::string lines;
          return object->get_ConnectionStates(&lines) == S_OK &&
                 lines == port + '\t' + state + '\n';
        },
        10s);
  };
  EXPECT_TRUE(isNow("waiting"));

  BoxAnswerer boxes;
  Configfrm& window = PluginGlobals::window();
  ASSERT_EQ(window.LoadProjectData(), S_OK);  // no event file: nothing chosen
  QTest::mouseClick(window.form().cmdSendTestNote, Qt::LeftButton);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text,
            "No MIDI output device is open. Choose one with --midi-out NAME.");

  ASSERT_EQ(object->put_RunOutput("Notecast virtual output"), S_OK);
  ASSERT_EQ(window.LoadProjectData(), S_OK);
  auto counter = JackMidiCounter::open(synth, &error);
  EXPECT_TRUE(isNow("connected"));
  counter.reset();
  EXPECT_TRUE(isNow("gone"));
  counter = JackMidiCounter::open(synth, &error);
  EXPECT_TRUE(isNow("connected"));
  ASSERT_EQ(window.unloadWindow(&ignored), S_OK);  // our port goes with the window's control
  EXPECT_TRUE(isNow("gone"));
  ASSERT_EQ(window.loadWindow(&ignored), S_OK);
  EXPECT_TRUE(isNow("connected"));
}

}  // namespace
}  // namespace notecast::testing
