// The configuration window driven as host and user drive it: hosting states and the load
// sequence, the entry list, the reset, and the MIDI device operations (with a recording control).

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include "tests/support/BoxAnswerer.h"
#include "tests/support/RecordingMidiOutput.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiInput.h"
#include "tests/window/WindowUnderTest.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"
#include "window/modMIDIHelper.h"

namespace notecast {
namespace {

using Strings = std::vector<std::string>;

MidiEvent eventOnChannel(std::int32_t channel) {
  MidiEvent event = MidiEvent::added();
  event.DMXChannel = channel;
  return event;
}

class ConfigfrmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setMidiOutputFactory([this] { return std::make_unique<RecordingMidiOutput::Handle>(midi_); });
    window_->core.setProjectBaseSource([this] { return dir_.file("show"); });
  }
  void TearDown() override {
    window_.reset();
    setMidiOutputFactory({});
  }

  bool isOpen() {
    VARIANT_BOOL open = 0;
    EXPECT_EQ(window_->host.get_isOpen(&open), S_OK);
    return open == VARIANT_TRUE;
  }
  void call(HRESULT (lumo::IExternalWindow::*operation)(VARIANT_BOOL*)) {
    VARIANT_BOOL result = VARIANT_TRUE;
    EXPECT_EQ((window_->host.*operation)(&result), S_OK);
    EXPECT_EQ(result, VARIANT_FALSE) << "window operations answer False";
  }
  int deviceCountReads() const {
    return static_cast<int>(std::count(midi_.log().begin(), midi_.log().end(), "DeviceCount?"));
  }
  // A loaded window whose table holds `count` events on channels 1..count.
  ConfigfrmForm& loadedWith(int count) {
    ConfigfrmForm& form = window_->view.form();
    std::vector<MidiEvent> events;
    for (int i = 1; i <= count; ++i) events.push_back(eventOnChannel(i));
    window_->core.table().assign(events);
    window_->core.refreshEntryList();
    return form;
  }

  testing::TempDir dir_;
  RecordingMidiOutput midi_{{"reader:in", "synth:midi_in"}};
  std::unique_ptr<WindowUnderTest> window_ = std::make_unique<WindowUnderTest>();
};

TEST_F(ConfigfrmTest, IsOpenAndShowWindowNeverLoad) {
  EXPECT_FALSE(isOpen());
  call(&lumo::IExternalWindow::showWindow);
  EXPECT_FALSE(isOpen());
  EXPECT_EQ(window_->view.presence(), Configfrm::Presence::NotLoaded);
  EXPECT_TRUE(midi_.log().empty()) << "nothing was loaded, so no MIDI control was made";
}

TEST_F(ConfigfrmTest, LoadThenShowShowsTheWindowAndLoadsOnce) {
  call(&lumo::IExternalWindow::loadWindow);
  EXPECT_TRUE(isOpen());
  EXPECT_EQ(window_->view.presence(), Configfrm::Presence::Hidden);
  EXPECT_FALSE(window_->view.form().isVisible());
  call(&lumo::IExternalWindow::loadWindow);
  EXPECT_EQ(deviceCountReads(), 1) << "the load sequence runs once per load";
  call(&lumo::IExternalWindow::showWindow);
  EXPECT_TRUE(window_->view.form().isVisible());
  EXPECT_EQ(window_->view.presence(), Configfrm::Presence::Shown);
}

TEST_F(ConfigfrmTest, HideOnAnUnloadedWindowLoadsItHidden) {
  call(&lumo::IExternalWindow::hideWindow);
  EXPECT_TRUE(isOpen());
  EXPECT_FALSE(window_->view.form().isVisible());
  EXPECT_EQ(deviceCountReads(), 1);
}

TEST_F(ConfigfrmTest, UnloadKeepsTheTableAndTheNextLoadRunsTheSequenceAgain) {
  loadedWith(3);
  call(&lumo::IExternalWindow::unloadWindow);
  EXPECT_FALSE(isOpen());
  EXPECT_EQ(window_->core.eventTable().size(), 3) << "the table survives an unload";
  call(&lumo::IExternalWindow::unloadWindow);  // nothing happens
  call(&lumo::IExternalWindow::loadWindow);
  EXPECT_EQ(deviceCountReads(), 2);
  EXPECT_EQ(window_->core.eventTable().size(), 1)
      << "the load sequence starts from a cleared table";
  EXPECT_EQ(window_->view.form().lstView->count(), 1);
}

TEST_F(ConfigfrmTest, WindowStateIsTheWindowsOwnAndViewModeChangesNothing) {
  call(&lumo::IExternalWindow::showWindow);
  call(&lumo::IExternalWindow::loadWindow);
  call(&lumo::IExternalWindow::showWindow);
  std::int32_t state = -1;
  EXPECT_EQ(window_->host.put_WindowState(2), S_OK);
  EXPECT_EQ(window_->host.get_WindowState(&state), S_OK);
  EXPECT_EQ(state, 0);
  window_->view.form().setWindowState(Qt::WindowMinimized);
  EXPECT_EQ(window_->host.get_WindowState(&state), S_OK);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(window_->host.put_ViewMode(3), S_OK);
  EXPECT_TRUE(window_->view.form().isVisible());
}

// The title bar's close and Alt+F4 reach the window as the window manager's close request.
TEST_F(ConfigfrmTest, TheWindowManagersCloseHidesTheWindowAndKeepsUnsavedEdits) {
  ConfigfrmForm& form = loadedWith(2);
  window_->core.saveCfgFile();
  call(&lumo::IExternalWindow::showWindow);
  testing::clickListRow(form.lstView, 1);
  testing::typeInto(form.txtData1, "42");
  ASSERT_EQ(window_->core.eventTable().record(1).Data1, 42);

  EXPECT_FALSE(form.windowHandle()->close()) << "the window refuses to close";
  QTest::qWait(20);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(window_->view.presence(), Configfrm::Presence::Hidden);
  window_->core.ExecuteMidiEvent(1, 0);  // the next channel change finds the window loaded
  EXPECT_EQ(&window_->view.form(), &form) << "not unloaded and loaded again";
  EXPECT_EQ(window_->core.eventTable().record(1).Data1, 42);
  EXPECT_TRUE(window_->core.isCfgFileModified()) << "the save question still sees the edit";

  call(&lumo::IExternalWindow::showWindow);
  EXPECT_EQ(form.txtData1->text(), "42");
  EXPECT_EQ(form.lstView->selectedRow(), 1);

  call(&lumo::IExternalWindow::unloadWindow);  // the host still unloads it
  EXPECT_FALSE(isOpen());
  call(&lumo::IExternalWindow::loadWindow);
  EXPECT_EQ(window_->core.eventTable().record(1).Data1, 0) << "the next load reads the file again";
}

TEST_F(ConfigfrmTest, OkHidesAndShowingAgainKeepsListSelectionAndTexts) {
  ConfigfrmForm& form = loadedWith(3);
  call(&lumo::IExternalWindow::showWindow);
  window_->highlight(1);
  form.txtData1->setText("42");
  QTest::mouseClick(form.cmdOK, Qt::LeftButton);
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(isOpen());
  call(&lumo::IExternalWindow::showWindow);
  EXPECT_EQ(&window_->view.form(), &form);
  EXPECT_EQ(form.lstView->selectedRow(), 1);
  EXPECT_EQ(form.lstView->count(), 3);
  EXPECT_EQ(form.txtData1->text(), "42");
}

TEST_F(ConfigfrmTest, RebuildKeepsTheHighlightedRowOrMovesItToTheLastRow) {
  ConfigfrmForm& form = loadedWith(5);
  EXPECT_EQ(form.lstView->selectedRow(), -1) << "no row is selected after a load";
  window_->highlight(3);
  form.txtDmx->setText("typed");
  window_->core.refreshEntryList();
  EXPECT_EQ(form.lstView->selectedRow(), 3);
  EXPECT_EQ(form.txtDmx->text(), "typed") << "a rebuild never touches the editing controls";

  window_->highlight(4);
  window_->core.table().remove(4);
  window_->core.refreshEntryList();
  EXPECT_EQ(form.lstView->count(), 4);
  EXPECT_EQ(form.lstView->selectedRow(), 3);

  window_->highlight(-1);
  window_->core.refreshEntryList();
  EXPECT_EQ(form.lstView->selectedRow(), -1);
  EXPECT_EQ(form.lstView->rowText(0).toStdString(),
            "Chan: 1, Typ: 0, MSG: 90, Data1: 0, Data2: 0, Value: 127, NoteOff: No, Once: No, "
            "Share: No, Name: ");
}

TEST_F(ConfigfrmTest, RebuildOfANeverDimensionedTableDoesNothing) {
  EXPECT_TRUE(window_->core.IsArrayEmpty());
  window_->core.refreshEntryList();
  EXPECT_EQ(window_->view.presence(), Configfrm::Presence::NotLoaded) << "not even a load";
}

TEST_F(ConfigfrmTest, SilentSelectionRunsNoHandler) {
  ConfigfrmForm& form = loadedWith(3);
  QSignalSpy userSelected(form.lstView, &EntryListWidget::userSelected);
  QSignalSpy clicked(form.lstView, &QAbstractItemView::clicked);
  QSignalSpy picked(form.cboEvent, &QComboBox::activated);
  QSignalSpy indexChanged(form.cboEvent, &QComboBox::currentIndexChanged);
  selectListRow(form.lstView, 2);
  selectComboRow(form.cboEvent, 3);
  EXPECT_EQ(form.lstView->selectedRow(), 2);
  EXPECT_EQ(form.cboEvent->currentIndex(), 3);
  EXPECT_EQ(userSelected.count() + clicked.count() + picked.count() + indexChanged.count(), 0);
}

TEST_F(ConfigfrmTest, UserSelectionIsAClickOrAKeyboardMoveButNotFocus) {
  ConfigfrmForm& form = loadedWith(3);
  call(&lumo::IExternalWindow::showWindow);
  QSignalSpy userSelected(form.lstView, &EntryListWidget::userSelected);
  form.lstView->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(userSelected.count(), 0) << "taking the focus is no selection";
  EXPECT_TRUE(form.txtDmx->toolTip().startsWith("Select an event in the list first"))
      << "with no row selected the fields say where typing goes";
  testing::clickListRow(form.lstView, 1);
  EXPECT_EQ(userSelected.count(), 1);
  EXPECT_EQ(form.lstView->selectedRow(), 1);
  EXPECT_EQ(form.cboEvent->toolTip(), QString());
  testing::clickListRow(form.lstView, 1);
  EXPECT_EQ(userSelected.count(), 2) << "a click on the highlighted row counts too";
  QTest::keyClick(form.lstView, Qt::Key_Down);
  EXPECT_EQ(userSelected.count(), 3);
  EXPECT_EQ(form.lstView->selectedRow(), 2);
}

TEST_F(ConfigfrmTest, ClearFormWithASelectedRowLeavesExactlyTheBlankEntry) {
  ConfigfrmForm& form = loadedWith(3);
  window_->core.fillDeviceList();
  window_->highlight(1);
  form.txtDmx->setText("9");
  form.txtValue->setText("200");
  form.txtShareName->setText("name");
  form.chkShare->setChecked(true);
  form.chkShowLine->setChecked(true);
  window_->core.clearForm();
  ASSERT_EQ(window_->core.eventTable().size(), 1);
  EXPECT_EQ(window_->core.eventTable().record(0), MidiEvent::blank());
  EXPECT_EQ(form.lstView->count(), 0);
  EXPECT_EQ(form.cboMidiOutput->count(), 0);
  EXPECT_EQ(form.txtDmx->text(), "0");
  EXPECT_EQ(form.txtMsg->text(), "1");
  EXPECT_EQ(form.txtData1->text(), "0");
  EXPECT_EQ(form.txtData2->text(), "0");
  EXPECT_EQ(form.txtValue->text(), "127");
  EXPECT_EQ(form.txtShareName->text(), "");
  for (QCheckBox* box : form.findChildren<QCheckBox*>()) EXPECT_FALSE(box->isChecked());
  window_->core.refreshEntryList();
  EXPECT_EQ(form.lstView->rowText(0).toStdString(),
            "Chan: 0, Typ: 0, MSG: 0, Data1: 0, Data2: 0, Value: 0, NoteOff: No, Once: No, "
            "Share: No, Name: ");
}

TEST_F(ConfigfrmTest, DeviceListFilledTwiceHoldsEveryDeviceOnceAndNoSelection) {
  ConfigfrmForm& form = window_->view.form();
  midi_.clearLog();
  window_->core.fillDeviceList();
  window_->core.fillDeviceList();
  ASSERT_EQ(form.cboMidiOutput->count(), 3);
  EXPECT_EQ(form.cboMidiOutput->itemText(0), "Notecast virtual output");
  EXPECT_EQ(form.cboMidiOutput->itemText(1), "reader:in");
  EXPECT_EQ(form.cboMidiOutput->itemText(2), "synth:midi_in");
  EXPECT_EQ(form.cboMidiOutput->currentIndex(), -1);
  const Strings once = {"DeviceCount?", "DeviceNumber=-1", "DeviceName?", "DeviceNumber=0",
                        "DeviceName?",  "DeviceNumber=1",  "DeviceName?"};
  Strings twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(midi_.log(), twice);
}

TEST_F(ConfigfrmTest, OpenChangeCloseAndTestNoteWriteTheControlInOrder) {
  ConfigfrmForm& form = window_->view.form();
  call(&lumo::IExternalWindow::showWindow);
  midi_.clearLog();
  window_->core.openChosenDevice();
  EXPECT_EQ(midi_.log(), (Strings{"DeviceNumber=-2", "Action=1"})) << "no row: device -2";

  QApplication::processEvents();  // the list follows the open: a refill is queued
  midi_.clearLog();
  testing::pickComboRow(form.cboMidiOutput, 2);
  ASSERT_GE(midi_.log().size(), 3u);
  EXPECT_EQ(Strings(midi_.log().begin(), midi_.log().begin() + 3),
            (Strings{"Action=2", "DeviceName=synth:midi_in", "Action=1"}))
      << "the row's output, by its name";
  EXPECT_EQ(midi_.openDevice(), 1);

  midi_.clearLog();
  QTest::mouseClick(form.cmdSendTestNote, Qt::LeftButton);
  EXPECT_EQ(midi_.log(), (Strings{"StatusByte=144", "DataByte1=64", "DataByte2=64", "Action=7"}));
  EXPECT_EQ(midi_.sent(), (std::vector<RecordingMidiOutput::Message>{{144, 64, 64}}));

  midi_.clearLog();
  window_->host.hideThenCloseDevice();
  EXPECT_EQ(midi_.log(), (Strings{"Action=2"}));
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(midi_.openDevice());
}

TEST_F(ConfigfrmTest, DeviceReportsZeroAndEightAreSilentOthersShowTheirText) {
  window_->view.form();
  testing::BoxAnswerer boxes;
  midi_.fireReport(MidiReportCode::kOk, "fine");
  midi_.fireReport(MidiReportCode::kClosed, "closed");
  EXPECT_TRUE(boxes.shown().empty());
  midi_.fireReport(MidiReportCode::kNotOpen, "No MIDI output device is open.");
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "No MIDI output device is open.");
  EXPECT_EQ(boxes.shown()[0].buttons, (Strings{"OK"}));
}

// The control told nothing of this failure (its cause was told before): the button does.
TEST_F(ConfigfrmTest, AFailedTestNoteIsToldAndTheNextOneGoesOut) {
  ConfigfrmForm& form = window_->view.form();
  testing::BoxAnswerer boxes;
  midi_.failOnWrite(4, MidiError::kNotOpen);
  QTest::mouseClick(form.cmdSendTestNote, Qt::LeftButton);
  EXPECT_TRUE(midi_.sent().empty());
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "The test note was not sent: recorded failure.");
  QTest::mouseClick(form.cmdSendTestNote, Qt::LeftButton);
  EXPECT_EQ(midi_.sent().size(), 1u);
  EXPECT_EQ(boxes.shown().size(), 1u);
}

}  // namespace
}  // namespace notecast
