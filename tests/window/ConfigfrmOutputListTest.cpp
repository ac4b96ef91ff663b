// The output list while the MIDI system changes under it (a recording control): filled again on
// every show and on every change the control announces, the chosen output kept selected by
// name, also while it is missing, and never an open, a close or a pick of the filling's doing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <chrono>
#include <thread>

#include "tests/support/BoxAnswerer.h"
#include "tests/support/RecordingMidiOutput.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiInput.h"
#include "tests/window/WindowUnderTest.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"

namespace notecast {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

constexpr auto kGenerous = 10s;

class ConfigfrmOutputListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setMidiOutputFactory([this] { return std::make_unique<RecordingMidiOutput::Handle>(midi_); });
    window_->core.setProjectBaseSource([this] { return dir_.file("show"); });
  }
  void TearDown() override {
    window_.reset();
    setMidiOutputFactory({});
  }

  QComboBox* list() { return window_->view.form().cboMidiOutput; }
  Strings rows() {
    Strings names;
    for (int row = 0; row < list()->count(); ++row)
      names.push_back(list()->itemText(row).toStdString());
    return names;
  }
  // Runs the event loop until `condition` holds.
  static bool processUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kGenerous;
    while (!condition()) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      QApplication::processEvents(QEventLoop::AllEvents, 10);
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }
  // The control's notifier called as the MIDI system calls it: on a thread of its own.
  void announceChange() {
    std::thread([this] { EXPECT_TRUE(midi_.notifyChange()); }).join();
  }
  bool anyOpenOrClose() const {
    return std::any_of(midi_.log().begin(), midi_.log().end(),
                       [](const std::string& line) { return line.starts_with("Action="); });
  }

  testing::TempDir dir_;
  RecordingMidiOutput midi_{{"reader:in", "synth:midi_in"}};
  std::unique_ptr<WindowUnderTest> window_ = std::make_unique<WindowUnderTest>();
};

TEST_F(ConfigfrmOutputListTest, AnnouncedChangesRefillTheListKeepingTheChoiceEvenWhenItIsGone) {
  window_->view.form();
  testing::pickComboRow(list(), 2);
  ASSERT_EQ(midi_.status().name, "synth:midi_in");
  QApplication::processEvents();
  midi_.clearLog();
  QSignalSpy picked(list(), &QComboBox::activated);

  midi_.setDevices({"new:in", "reader:in", "synth:midi_in"});  // a port appeared
  announceChange();
  const Strings appeared = {"Notecast virtual output", "new:in", "reader:in", "synth:midi_in"};
  ASSERT_TRUE(processUntil([&] { return rows() == appeared; })) << ::testing::PrintToString(rows());
  EXPECT_EQ(list()->currentText(), "synth:midi_in");
  EXPECT_GE(midi_.recovers(), 1) << "the control looked again first";

  midi_.setDevices({"reader:in"});  // the chosen one went: its row stays, at the end
  announceChange();
  const Strings gone = {"Notecast virtual output", "reader:in", "synth:midi_in"};
  ASSERT_TRUE(processUntil([&] { return rows() == gone; })) << ::testing::PrintToString(rows());
  EXPECT_EQ(list()->currentIndex(), 2);
  EXPECT_EQ(picked.count(), 0) << "filling is no pick of the user's";
  EXPECT_FALSE(anyOpenOrClose()) << "filling cuts no connection";

  testing::pickComboRow(list(), 2);  // picking the chosen output again keeps it as it is
  EXPECT_FALSE(anyOpenOrClose());
  EXPECT_EQ(midi_.status().name, "synth:midi_in");
}

// A clear leaves no output selected until the next load, whatever stays open, so a save after a
// clear writes none: a new project does not inherit the last one's output.
TEST_F(ConfigfrmOutputListTest, AfterAClearNoOutputIsSelectedUntilTheNextLoad) {
  window_->view.form();
  testing::pickComboRow(list(), 2);
  EXPECT_EQ(window_->host.ClearProjectData(), S_OK);
  midi_.setDevices({"new:in", "reader:in", "synth:midi_in"});
  announceChange();
  const Strings appeared = {"Notecast virtual output", "new:in", "reader:in", "synth:midi_in"};
  ASSERT_TRUE(processUntil([&] { return rows() == appeared; })) << ::testing::PrintToString(rows());
  EXPECT_EQ(list()->currentIndex(), -1);
  EXPECT_EQ(window_->core.deviceToStore(), "");

  testing::pickComboRow(list(), 1);  // the user's pick counts again
  announceChange();
  QApplication::processEvents();
  EXPECT_EQ(list()->currentText(), "new:in");
}

TEST_F(ConfigfrmOutputListTest, ShowingTheWindowListsAPortThatAppearedWhileItWasHidden) {
  VARIANT_BOOL ignored = 0;
  window_->view.form();
  ASSERT_EQ(window_->host.showWindow(&ignored), S_OK);
  ASSERT_EQ(window_->host.hideWindow(&ignored), S_OK);
  midi_.clearLog();
  midi_.setDevices({"reader:in", "synth:midi_in", "late:in"});
  ASSERT_EQ(window_->host.showWindow(&ignored), S_OK);
  EXPECT_EQ(rows(), (Strings{"Notecast virtual output", "reader:in", "synth:midi_in", "late:in"}));
  EXPECT_FALSE(anyOpenOrClose());
}

TEST_F(ConfigfrmOutputListTest, StoredOutputThatIsNotThereStaysChosenSavedAndLookedFor) {
  testing::writeBytes(dir_.file("show.Notecast"),
                      "[General]\r\nMIDIOutputDevice=gone:in\r\nCount=0\r\n"
                      "[Entry_0]\r\nDMXChannel=1\r\nMIDIMessage=144\r\n");
  ASSERT_EQ(window_->host.LoadProjectData(), S_OK);
  EXPECT_EQ(rows(), (Strings{"Notecast virtual output", "reader:in", "synth:midi_in", "gone:in"}));
  EXPECT_EQ(list()->currentText(), "gone:in");
  EXPECT_EQ(window_->core.outputStatus().state, MidiOutputState::kMissing);
  EXPECT_EQ(window_->core.outputStatus().name, "gone:in");
  const auto at = std::find(midi_.log().begin(), midi_.log().end(), "DeviceName=gone:in");
  ASSERT_NE(at, midi_.log().end());
  EXPECT_EQ(*(at + 1), "Action=1") << "chosen by its name";

  // While it is missing the window asks the control again once a second, unasked.
  const int before = midi_.recovers();
  EXPECT_TRUE(processUntil([&] { return midi_.recovers() >= before + 2; }));
  EXPECT_EQ(list()->currentText(), "gone:in");

  testing::BoxAnswerer boxes;
  VARIANT_BOOL cancelled = VARIANT_TRUE;
  ASSERT_EQ(window_->host.AskToSaveProjectData(&cancelled), S_OK);
  EXPECT_TRUE(boxes.shown().empty()) << "the choice is what the file holds: nothing to save";
}

TEST_F(ConfigfrmOutputListTest, StatusIsTheControlsWhileLoadedAndNoneOtherwise) {
  EXPECT_EQ(window_->core.outputStatus().state, MidiOutputState::kNone);
  EXPECT_EQ(window_->view.presence(), Configfrm::Presence::NotLoaded) << "reading it loads nothing";
  testing::pickComboRow(list(), 1);
  EXPECT_EQ(window_->core.outputStatus().state, MidiOutputState::kOpen);
  EXPECT_EQ(window_->core.outputStatus().name, "reader:in");
  VARIANT_BOOL ignored = 0;
  ASSERT_EQ(window_->host.unloadWindow(&ignored), S_OK);
  EXPECT_EQ(window_->core.outputStatus().state, MidiOutputState::kNone);
  EXPECT_EQ(window_->core.outputStatus().name, "");
}

}  // namespace
}  // namespace notecast
