// The plug-in's output choice for one run, as the host hands it over (abi/IOutputChoice.h): the
// run's output wins over the event file's whenever the file is loaded, and never reaches the
// file nor the save question; the ports to keep connected reach every control the window makes.
// And what the host reads back (abi/IOutputDetails.h, abi/IFailureDescription.h).

#include <gtest/gtest.h>

#include <QComboBox>
#include <QMessageBox>
#include <cstdlib>
#include <thread>

#include "abi/IFailureDescription.h"
#include "abi/IOutputChoice.h"
#include "abi/IOutputDetails.h"
#include "midi/MidiApiChoice.h"
#include "plugin/PluginGlobals.h"
#include "plugin/clsLumoPlugIn.h"
#include "tests/plugin/FakeHelper.h"
#include "tests/support/BoxAnswerer.h"
#include "tests/support/EventBuilder.h"
#include "tests/support/RecordingMidiOutput.h"
#include "tests/support/TempDir.h"
#include "window/ConfigfrmForm.h"

namespace notecast {
namespace {

using testing::FakeHelper;

const std::string kStored =
    "[General]\r\nMIDIOutputDevice=USB MIDI Interface\r\nCount=1\r\n"
    "[Entry_0]\r\nDMXChannel=1\r\nData1=60\r\nData2=100\r\nMIDIMessage=144\r\nValue=0\r\n"
    "SendNoteOff=0\r\nSendOnlyOnce=0\r\nShare=0\r\nShareName=\r\nTyp=2\r\n";

using Bytes = std::vector<std::vector<std::uint8_t>>;

struct SinkLog final : IMessageSink {
  void MessageSent(const std::uint8_t* bytes, std::int32_t length) noexcept override {
    messages.emplace_back(bytes, bytes + length);
  }
  Bytes messages;
};

class OutputChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setMidiOutputFactory([this] { return std::make_unique<RecordingMidiOutput::Handle>(midi_); });
    testing::writeBytes(file(), kStored);
    object_ = makeComObject<clsLumoPlugIn>();
    plugin_ = object_.query<lumo::ILumoPlugin>();
    choice_ = object_.query<IOutputChoice>();
    VARIANT_BOOL result = 0;
    ASSERT_EQ(plugin_->Init("host", "/x/Notecast.so",
                            FakeHelper::withProject(dir_.file("show"), nullptr).get(), &result),
              S_OK);
  }
  void TearDown() override {
    choice_.reset();
    plugin_.reset();
    object_.reset();
    EXPECT_TRUE(PluginGlobals::isTornDown());
    setMidiOutputFactory({});
  }

  std::string file() const { return dir_.file("show.Notecast"); }
  HRESULT dmx(std::int32_t value) {
    std::int32_t message = 15, channel = 1, answer = 0;
    return plugin_->MessageHandle(&message, &channel, &value, &answer);
  }
  lumo::ILumoTool& tool() { return PluginGlobals::hostWindow(); }
  std::string openName() { return midi_.status().name; }
  // The host's save question; the boxes it showed, answered with their default.
  std::vector<testing::BoxAnswerer::Shown> ask() {
    testing::BoxAnswerer boxes;
    VARIANT_BOOL cancelled = 0;
    EXPECT_EQ(tool().AskToSaveProjectData(&cancelled), S_OK);
    return boxes.shown();
  }

  testing::TempDir dir_;
  RecordingMidiOutput midi_{{"USB MIDI Interface", "synth:in", "other:in"}};
  ComPtr<clsLumoPlugIn> object_;
  ComPtr<lumo::ILumoPlugin> plugin_;
  ComPtr<IOutputChoice> choice_;
};

TEST_F(OutputChoiceTest, RunOutputIsOpenedOnEveryLoadAndNeverStoredNorAskedAbout) {
  ASSERT_TRUE(choice_) << "the plug-in object offers the output choice";
  ASSERT_EQ(choice_->put_RunOutput("synth:in"), S_OK);
  EXPECT_EQ(PluginGlobals::window().presence(), Configfrm::Presence::NotLoaded)
      << "choosing loads nothing";
  ASSERT_EQ(tool().LoadProjectData(), S_OK);
  EXPECT_EQ(openName(), "synth:in");
  EXPECT_EQ(PluginGlobals::window().form().cboMidiOutput->currentText(), "synth:in");

  EXPECT_TRUE(ask().empty()) << "the run's output alone is no change of the file";
  ASSERT_EQ(tool().SaveProjectData(), S_OK);
  const std::string saved = testing::readBytes(file());
  EXPECT_NE(saved.find("MIDIOutputDevice=USB MIDI Interface\r\n"), std::string::npos)
      << "the file keeps its own device:\n"
      << saved;
  EXPECT_EQ(saved.find("synth:in"), std::string::npos);

  // The window loaded again reads the event file again, and the run's choice wins again.
  VARIANT_BOOL result = 0;
  auto& window = static_cast<lumo::IExternalWindow&>(PluginGlobals::hostWindow());
  ASSERT_EQ(window.unloadWindow(&result), S_OK);
  ASSERT_EQ(window.loadWindow(&result), S_OK);
  EXPECT_EQ(openName(), "synth:in");

  // A run output that is not there is still chosen, as a stored one would be.
  ASSERT_EQ(choice_->put_RunOutput("later:in"), S_OK);
  ASSERT_EQ(tool().LoadProjectData(), S_OK);
  EXPECT_EQ(midi_.status().state, MidiOutputState::kMissing);
  EXPECT_EQ(openName(), "later:in");
  EXPECT_TRUE(ask().empty());

  ASSERT_EQ(choice_->put_RunOutput(nullptr), S_OK);
  ASSERT_EQ(tool().LoadProjectData(), S_OK);
  EXPECT_EQ(openName(), "USB MIDI Interface") << "without a run output the file decides again";
}

TEST_F(OutputChoiceTest, UsersOwnPickInTheWindowEndsTheRunsChoiceAndIsStored) {
  ASSERT_EQ(choice_->put_RunOutput("synth:in"), S_OK);
  ASSERT_EQ(tool().LoadProjectData(), S_OK);
  Configfrm& window = PluginGlobals::window();
  QComboBox* list = window.form().cboMidiOutput;
  list->setCurrentIndex(list->findText("other:in"));
  window.cboMidiOutput_Click();
  EXPECT_EQ(openName(), "other:in");

  const auto boxes = ask();
  ASSERT_EQ(boxes.size(), 1u) << "the user's pick is a change of the project";
  EXPECT_NE(testing::readBytes(file()).find("MIDIOutputDevice=other:in\r\n"), std::string::npos)
      << "answered Yes, the save stores the user's pick";
}

TEST_F(OutputChoiceTest, KeptConnectionsReachEveryControlTheWindowMakes) {
  const char* ports[] = {"synth:in", "recorder:midi_in"};
  ASSERT_EQ(choice_->put_KeptConnections(ports, 2), S_OK);
  ASSERT_EQ(tool().LoadProjectData(), S_OK);
  const std::vector<std::string> expected{"synth:in", "recorder:midi_in"};
  EXPECT_EQ(midi_.keptConnections(), expected);

  midi_.setKeptConnections({});
  VARIANT_BOOL result = 0;
  auto& window = static_cast<lumo::IExternalWindow&>(PluginGlobals::hostWindow());
  ASSERT_EQ(window.unloadWindow(&result), S_OK);
  ASSERT_EQ(window.loadWindow(&result), S_OK);
  EXPECT_EQ(midi_.keptConnections(), expected) << "a control made by a new load has them too";

  ASSERT_EQ(choice_->put_KeptConnections(nullptr, 0), S_OK);
  EXPECT_TRUE(midi_.keptConnections().empty()) << "the loaded control follows at once";

  const char* withNull[] = {"synth:in", nullptr};
  EXPECT_EQ(choice_->put_KeptConnections(withNull, 2), E_INVALIDARG);
  EXPECT_EQ(choice_->put_KeptConnections(ports, -1), E_INVALIDARG);
  EXPECT_EQ(choice_->put_KeptConnections(nullptr, 1), E_POINTER);
  EXPECT_TRUE(midi_.keptConnections().empty()) << "a refused list changes nothing";
}

TEST_F(OutputChoiceTest, OutputListIsTheWindowsAndTheSinkGetsTheWireBytesOfEachMessage) {
  auto details = object_.query<IOutputDetails>();
  std::string lines;
  ASSERT_EQ(details->get_OutputList(&lines), S_OK);
  EXPECT_EQ(lines, "Notecast virtual output\nUSB MIDI Interface\nsynth:in\nother:in\n");
  EXPECT_EQ(PluginGlobals::window().form().cboMidiOutput->itemText(3), "other:in");

  SinkLog sink;
  ASSERT_EQ(details->put_MessageSink(&sink), S_OK);
  EXPECT_EQ(dmx(255), S_OK);  // the stored event
  PluginGlobals::core().table().assign({testing::event(1, EventType::ValueChange, 0xC3, 300)});
  EXPECT_EQ(dmx(0), S_OK);
  EXPECT_EQ(sink.messages, (Bytes{{0x90, 60, 100}, {0xC3, 127}}));
  ASSERT_EQ(details->put_MessageSink(nullptr), S_OK);
  EXPECT_EQ(dmx(1), S_OK);
  EXPECT_EQ(sink.messages.size(), 2u);
}

// The plug-in's own control, with no MIDI system: the stored output cannot open.
TEST_F(OutputChoiceTest, FailedMessageIsDescribedOnItsThreadAndTheListShowsNoBox) {
  ::setenv(MidiApiChoice::kVariable, "jack", 1);
  ::setenv("JACK_DEFAULT_SERVER", "notecast-no-such-server", 1);
  setMidiOutputFactory({});
  testing::BoxAnswerer boxes;
  std::string text;
  ASSERT_EQ(object_->get_OutputList(&text), S_OK);
  EXPECT_EQ(text, "Notecast virtual output\n");
  EXPECT_TRUE(boxes.shown().empty());
  const HRESULT failed = dmx(255);
  EXPECT_EQ(failed, resultFromErrorNumber(static_cast<std::int32_t>(MidiError::kNotOpen)));
  ASSERT_EQ(boxes.shown().size(), 1u) << "the list's finding, told at the next operation";
  EXPECT_EQ(boxes.shown()[0].text, "No MIDI output is possible: no JACK server is running.");

  auto failures = object_.query<IFailureDescription>();
  EXPECT_EQ(failures->get_FailureDescription(failed, &text), S_OK);
  EXPECT_EQ(text, "MIDI output USB MIDI Interface is not there now");
  EXPECT_EQ(failures->get_FailureDescription(E_FAIL, &text), S_FALSE);
  EXPECT_EQ(text, "");
  std::thread([&] { EXPECT_EQ(failures->get_FailureDescription(failed, &text), S_FALSE); }).join();
  ::unsetenv("JACK_DEFAULT_SERVER");
  ::unsetenv(MidiApiChoice::kVariable);
}

}  // namespace
}  // namespace notecast
