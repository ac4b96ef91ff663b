// The project data operations as the host calls them, checked on the event file byte for byte:
// load, save, the ask-to-save question with its three answers, the window position, failures.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>

#include "tests/support/BoxAnswerer.h"
#include "tests/support/RecordingMidiOutput.h"
#include "tests/support/TempDir.h"
#include "tests/window/WindowUnderTest.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"

namespace notecast {
namespace {

using testing::readBytes;
using testing::writeBytes;

// The example event file, as a save followed by storing the window position writes it.
const std::string kExampleConfiguration =
    "[General]\r\n"
    "WARNING=DO NOT EDIT UNLESS YOU KNOW WHAT YOU ARE DOING!\r\n"
    "MIDIOutputDevice=USB MIDI Interface\r\n"
    "Count=1\r\n";
const std::string kExamplePosition = "WindowState=0\r\nLeft=600\r\nTop=450\r\n";
const std::string kExampleEntries =
    "[Entry_0]\r\nDMXChannel=12\r\nData1=60\r\nData2=100\r\nMIDIMessage=144\r\nValue=127\r\n"
    "SendNoteOff=1\r\nSendOnlyOnce=0\r\nShare=1\r\nShareName=Fog on\r\nTyp=0\r\n"
    "[Entry_1]\r\nDMXChannel=13\r\nData1=7\r\nData2=0\r\nMIDIMessage=177\r\nValue=0\r\n"
    "SendNoteOff=0\r\nSendOnlyOnce=0\r\nShare=0\r\nShareName=\r\nTyp=4\r\n";
const std::string kExample = kExampleConfiguration + kExamplePosition + kExampleEntries;
const std::string kExampleSaved = kExampleConfiguration + kExampleEntries;

class ConfigfrmPersistenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setMidiOutputFactory([this] { return std::make_unique<RecordingMidiOutput::Handle>(midi_); });
    window_.core.setProjectBaseSource([this] { return dir_.file("show"); });
  }
  void TearDown() override { setMidiOutputFactory({}); }

  std::string file() const { return dir_.file("show.Notecast"); }
  void load() { ASSERT_EQ(window_.host.LoadProjectData(), S_OK); }
  // Asks as the host does, answering a box with `press`; returns the result and the boxes shown.
  std::pair<bool, std::vector<testing::BoxAnswerer::Shown>> ask(
      QMessageBox::StandardButton press = QMessageBox::NoButton) {
    testing::BoxAnswerer boxes(press);
    VARIANT_BOOL cancelled = 0;
    EXPECT_EQ(window_.host.AskToSaveProjectData(&cancelled), S_OK);
    return {cancelled == VARIANT_TRUE, boxes.shown()};
  }
  void edit() { window_.core.table().setField(0, MidiEventField::Data1, 61); }

  testing::TempDir dir_;
  RecordingMidiOutput midi_{{"USB MIDI Interface", "Other"}};
  WindowUnderTest window_;
};

TEST_F(ConfigfrmPersistenceTest, TheExampleFileLoadsAndSavesBackToTheSameBytes) {
  writeBytes(file(), kExample);
  load();
  EXPECT_EQ(window_.view.form().cboMidiOutput->currentText(), "USB MIDI Interface");
  EXPECT_EQ(midi_.openDevice(), 0) << "the stored device is opened";
  ASSERT_EQ(window_.core.eventTable().size(), 2);
  EXPECT_EQ(window_.core.eventTable().record(0).ShareName, "Fog on");
  EXPECT_EQ(window_.core.eventTable().record(1).MIDIMessage, 177);
  EXPECT_EQ(window_.view.form().pos(), QPoint(40, 30)) << "600 and 450 twips";
  ASSERT_EQ(window_.host.SaveProjectData(), S_OK);
  EXPECT_EQ(readBytes(file()), kExampleSaved) << "a save drops the window position";
}

TEST_F(ConfigfrmPersistenceTest, NothingEditedAsksNothingAndStoresThePosition) {
  writeBytes(file(), kExampleSaved);
  load();
  window_.view.form().move(100, 20);
  const auto [cancelled, boxes] = ask();
  EXPECT_FALSE(cancelled);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(readBytes(file()),
            kExampleConfiguration + "WindowState=0\r\nLeft=1500\r\nTop=300\r\n" + kExampleEntries);
}

TEST_F(ConfigfrmPersistenceTest, EditedThenCancelLeavesTheFileUntouched) {
  writeBytes(file(), kExample);
  load();
  edit();
  const auto [cancelled, boxes] = ask(QMessageBox::Cancel);
  EXPECT_TRUE(cancelled);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "Save changed?");
  EXPECT_EQ(boxes[0].text, "The Notecast file was modified.\nDo you want to save the changes?");
  std::vector<std::string> buttons = boxes[0].buttons;
  std::sort(buttons.begin(), buttons.end());
  EXPECT_EQ(buttons, (std::vector<std::string>{"&No", "&Yes", "Cancel"}));
  EXPECT_EQ(boxes[0].defaultButton, "&Yes");
  EXPECT_EQ(readBytes(file()), kExample);
}

TEST_F(ConfigfrmPersistenceTest, EditedThenNoChangesOnlyThePositionKeys) {
  writeBytes(file(), kExample);
  load();
  edit();
  window_.view.form().move(10, 10);
  const auto [cancelled, boxes] = ask(QMessageBox::No);
  EXPECT_FALSE(cancelled);
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(readBytes(file()),
            kExampleConfiguration + "WindowState=0\r\nLeft=150\r\nTop=150\r\n" + kExampleEntries);
}

TEST_F(ConfigfrmPersistenceTest, EditedThenYesRewritesAndThenAddsThePosition) {
  writeBytes(file(), kExample);
  load();
  edit();
  const auto [cancelled, boxes] = ask(QMessageBox::Yes);
  EXPECT_FALSE(cancelled);
  std::string expected = kExampleConfiguration + kExamplePosition + kExampleEntries;
  expected.replace(expected.find("Data1=60"), 8, "Data1=61");
  EXPECT_EQ(readBytes(file()), expected);
  EXPECT_TRUE(ask().second.empty()) << "memory and file agree now";
}

TEST_F(ConfigfrmPersistenceTest, ANewProjectClosedUneditedGetsOnlyThePosition) {
  load();
  ASSERT_EQ(window_.core.eventTable().size(), 1);
  EXPECT_EQ(window_.core.eventTable().record(0), MidiEvent::added()) << "the read defaults";
  EXPECT_EQ(midi_.log().back(), "Action=1");
  EXPECT_EQ(*(midi_.log().end() - 2), "DeviceNumber=-2") << "no row chosen: device -2";
  const auto [cancelled, boxes] = ask();
  EXPECT_FALSE(cancelled);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(readBytes(file()), "[General]\r\nWindowState=0\r\nLeft=0\r\nTop=0\r\n");
}

TEST_F(ConfigfrmPersistenceTest, LoadingTwiceListsEveryDeviceOnce) {
  load();
  load();
  EXPECT_EQ(window_.view.form().cboMidiOutput->count(), 3);
}

TEST_F(ConfigfrmPersistenceTest, AnUnloadDropsUnsavedEditsAndTheNextAskFindsNoChange) {
  writeBytes(file(), kExample);
  load();
  edit();
  VARIANT_BOOL ignored;
  window_.host.unloadWindow(&ignored);
  const auto [cancelled, boxes] = ask();
  EXPECT_FALSE(cancelled);
  EXPECT_TRUE(boxes.empty()) << "the comparison loaded the window, which re-read the file";
  EXPECT_EQ(window_.core.eventTable().record(0).Data1, 60);
}

TEST_F(ConfigfrmPersistenceTest, ClearOnAnUnloadedWindowLeavesTheBlankEntry) {
  writeBytes(file(), kExample);
  ASSERT_EQ(window_.host.ClearProjectData(), S_OK);
  ASSERT_EQ(window_.core.eventTable().size(), 1);
  EXPECT_EQ(window_.core.eventTable().record(0), MidiEvent::blank());
  EXPECT_EQ(window_.view.form().cboMidiOutput->count(), 0);
  EXPECT_EQ(readBytes(file()), kExample) << "a clear touches no file";
}

TEST_F(ConfigfrmPersistenceTest, AFailedSaveIsReportedAndTheOldFileStays) {
  writeBytes(file(), kExample);
  load();
  edit();
  ::chmod(file().c_str(), 0444);
  EXPECT_EQ(window_.host.SaveProjectData(), static_cast<HRESULT>(0x800A004Bu));
  EXPECT_EQ(readBytes(file()), kExample);

  const auto [cancelled, boxes] = ask(QMessageBox::Yes);
  EXPECT_TRUE(cancelled) << "the host keeps the project open";
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].title, "Notecast");
  EXPECT_EQ(boxes[1].text.substr(0, 38), "The Notecast file could not be saved.\n");
  EXPECT_EQ(readBytes(file()), kExample) << "and no position was stored";
}

TEST_F(ConfigfrmPersistenceTest, AStoredNonNumberFailsTheQuestionWithoutABox) {
  writeBytes(file(), "[General]\r\nCount=x\r\n");
  load();
  EXPECT_EQ(window_.core.eventTable().size(), 1) << "a Count that is not a number loads one entry";
  testing::BoxAnswerer boxes;
  VARIANT_BOOL cancelled = VARIANT_TRUE;
  EXPECT_EQ(window_.host.AskToSaveProjectData(&cancelled), static_cast<HRESULT>(0x800A000Du));
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ(readBytes(file()), "[General]\r\nCount=x\r\n");
}

TEST_F(ConfigfrmPersistenceTest, WindowPositionStepsStandAlone) {
  writeBytes(file(), "[General]\r\nLeft=abc\r\nTop=300\r\nWindowState=3\r\n");
  window_.view.form();  // the load sequence applies the position
  EXPECT_EQ(window_.view.form().pos(), QPoint(0, 20)) << "only the top is applied";
  std::int32_t state = -1;
  window_.host.get_WindowState(&state);
  EXPECT_EQ(state, 0) << "state 3 changes nothing";
}

// Every save writes the whole position: a stored value the window could not take (too large, no
// number, empty) is replaced by where the window is.
TEST_F(ConfigfrmPersistenceTest, APositionTheWindowCannotTakeIsReplacedByItsOwn) {
  for (const std::string general :
       {"[General]\r\nLeft=2200000000\r\nTop=1e12\r\n", "[General]\r\nLeft=abc\r\nTop=\r\n"}) {
    writeBytes(file(), general);
    load();
    EXPECT_EQ(window_.view.form().pos(), QPoint(0, 0)) << "neither is applied: " << general;
    EXPECT_FALSE(ask().first);
    EXPECT_EQ(readBytes(file()), "[General]\r\nLeft=0\r\nTop=0\r\nWindowState=0\r\n");
    window_.core.unload();
  }
}

TEST_F(ConfigfrmPersistenceTest, WithoutAProjectNoFileIsTouched) {
  WindowUnderTest orphan;
  orphan.core.setProjectBaseSource([]() -> std::string { throw std::runtime_error("no project"); });
  VARIANT_BOOL result = 0;
  EXPECT_TRUE(FAILED(orphan.host.loadWindow(&result))) << "the load reports the missing project";
  EXPECT_EQ(orphan.host.SaveProjectData(), S_OK);
  EXPECT_EQ(orphan.host.AskToSaveProjectData(&result), S_OK);
  EXPECT_EQ(result, VARIANT_FALSE);
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(file()).parent_path()));
}

}  // namespace
}  // namespace notecast
