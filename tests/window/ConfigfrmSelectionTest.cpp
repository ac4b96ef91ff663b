// Selecting a row by mouse or keyboard shows its entry in the editing controls and leaves the
// table as it was.

#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

#include "tests/window/EntryWindowFixture.h"

namespace notecast {
namespace {

using testing::eventWith;

class ConfigfrmSelectionTest : public ::testing::Test, protected testing::EntryWindowFixture {};

struct StatusCase {
  std::int32_t status;
  const char* kind;
  const char* channel;  // the channel box's row text; nullptr: the previous entry's row (11)
  bool custom;
};

class StatusShownTest : public ConfigfrmSelectionTest,
                        public ::testing::WithParamInterface<StatusCase> {};

// Row 0 (status 154, channel "11") is selected first, so a custom status shows what it leaves
// in the channel box.
TEST_P(StatusShownTest, KindChannelAndModeFollowTheStatus) {
  const StatusCase& c = GetParam();
  load({eventWith(1, 154), eventWith(2, c.status)});
  select(0);
  const std::vector<MidiEvent> before = entries();
  select(1);
  EXPECT_EQ(form_->cboMIDIMessage->currentText(), c.kind);
  EXPECT_EQ(form_->cboMIDIChannel->currentText(), c.channel ? c.channel : "11");
  EXPECT_EQ(form_->txtMsg->text(), QString::number(c.status));
  EXPECT_EQ(form_->txtMsg->isEnabled(), c.custom);
  EXPECT_EQ(form_->cboMIDIChannel->isEnabled(), !c.custom);
  EXPECT_EQ(entries(), before) << "showing an entry never changes the table";
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, StatusShownTest,
    ::testing::Values(StatusCase{144, "Note On (0x90)", "1", false},
                      StatusCase{154, "Note On (0x90)", "11", false},
                      StatusCase{239, "Pitch bend (0xE0)", "16", false},
                      StatusCase{60, "Custom", nullptr, true},
                      StatusCase{0, "Custom", nullptr, true},
                      StatusCase{-1, "Custom", nullptr, true},
                      // No kind has 0xF0: shown as a custom status, channel from the low nibble.
                      StatusCase{248, "Custom", "9", true}));

TEST_F(ConfigfrmSelectionTest, EveryFieldIsShownInItsControl) {
  MidiEvent event = eventWith(12, 176);
  event.Typ = 1;
  event.Value = 200;
  event.Data1 = 7;
  event.Data2 = 9;
  event.SendNoteOff = 2;  // a hand-edited flag: no note-off goes out for it
  event.SendOnlyOnce = 1;
  event.Share = 2;  // counts as shared
  event.ShareName = "fade";
  load({eventWith(1), event});
  select(1);
  EXPECT_EQ(form_->txtDmx->text(), "12");
  EXPECT_EQ(form_->txtValue->text(), "200");
  EXPECT_EQ(form_->txtData1->text(), "7");
  EXPECT_EQ(form_->txtData2->text(), "9");
  EXPECT_EQ(form_->txtShareName->text(), "fade");
  EXPECT_FALSE(form_->chkSendNoteOff->isChecked());
  EXPECT_TRUE(form_->chkSendOnlyOnce->isChecked());
  EXPECT_TRUE(form_->chkShare->isChecked());
  EXPECT_EQ(form_->cboEvent->currentIndex(), 1);
  EXPECT_EQ(form_->cboMIDIMessage->currentText(), "Continous controller (0xB0)");
  EXPECT_EQ(entry(1), event);
}

TEST_F(ConfigfrmSelectionTest, AFieldOutsideItsBoxsRangeIsShownButNotChanged) {
  MidiEvent event = eventWith(3);
  event.Data1 = 300;
  event.Typ = 7;
  load({event});
  select(0);
  EXPECT_EQ(form_->txtData1->text(), "300");
  EXPECT_EQ(form_->cboEvent->currentIndex(), -1);
  EXPECT_EQ(entry(0), event);
}

TEST_F(ConfigfrmSelectionTest, AValueMappingTypeLosesSendOnlyOnceButKeepsTheTick) {
  MidiEvent event = eventWith(3);
  event.Typ = 4;
  event.SendOnlyOnce = 1;
  load({event});
  select(0);
  EXPECT_EQ(entry(0).SendOnlyOnce, 0);
  EXPECT_TRUE(form_->chkSendOnlyOnce->isChecked());
  EXPECT_FALSE(form_->chkSendOnlyOnce->isEnabled());
}

TEST_F(ConfigfrmSelectionTest, KeyboardMovesAndClicksOnTheHighlightedRowShowTheEntry) {
  load({eventWith(1), eventWith(2), eventWith(3)});
  select(0);
  QTest::keyClick(form_->lstView, Qt::Key_Down);
  EXPECT_EQ(form_->txtDmx->text(), "2");
  testing::typeInto(form_->txtDmx, "9");  // row 1 now watches channel 9
  window_->core.table().setField(1, MidiEventField::DMXChannel, 4);
  select(1);
  EXPECT_EQ(form_->txtDmx->text(), "4") << "a click on the highlighted row shows it again";
}

TEST_F(ConfigfrmSelectionTest, APressDraggedOntoAnotherRowShowsThatRow) {
  load({eventWith(1), eventWith(2), eventWith(3)});
  QWidget* rows = form_->lstView->viewport();
  auto centre = [&](int row) {
    return form_->lstView->visualRect(form_->lstView->model()->index(row, 0)).center();
  };
  QTest::mousePress(rows, Qt::LeftButton, Qt::NoModifier, centre(0));
  QMouseEvent move(QEvent::MouseMove, centre(2), rows->mapToGlobal(centre(2)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(rows, &move);
  QTest::mouseRelease(rows, Qt::LeftButton, Qt::NoModifier, centre(2));
  EXPECT_EQ(form_->lstView->selectedRow(), 2);
  EXPECT_EQ(form_->txtDmx->text(), "3");
}

// The list is single-selection: the user moves the highlight but never takes it away, so the
// controls always write to the entry they show.
TEST_F(ConfigfrmSelectionTest, TheUserCannotEmptyTheSelection) {
  load({eventWith(1), eventWith(2), eventWith(3)});
  select(1);
  EntryListWidget* list = form_->lstView;
  const QPoint row1 = list->visualRect(list->model()->index(1, 0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, row1);
  EXPECT_EQ(list->selectedRow(), 1) << "Ctrl+click on the highlighted row";
  QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(list->selectedRow(), 1) << "Ctrl+Space";
  const QPoint belowTheRows(row1.x(), list->viewport()->height() - 2);
  ASSERT_FALSE(list->indexAt(belowTheRows).isValid());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, belowTheRows);
  EXPECT_EQ(list->selectedRow(), 1) << "a click beside the rows";

  testing::typeInto(form_->txtDmx, "9");
  EXPECT_EQ(entry(1).DMXChannel, 9) << "the edit lands on the entry shown";

  const QPoint row2 = list->visualRect(list->model()->index(2, 0)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, row2);
  EXPECT_EQ(list->selectedRow(), 2) << "Ctrl+click on another row selects it";
  EXPECT_EQ(form_->txtDmx->text(), "3");
}

// The entry line is wider than the list; hovering a row shows the whole line.
TEST_F(ConfigfrmSelectionTest, ARowsToolTipShowsItsWholeLine) {
  MidiEvent named = eventWith(12, 176);
  named.Share = 1;
  named.ShareName = "a name long enough to be cut off at the list's right edge";
  load({eventWith(1), named});
  EntryListWidget* list = form_->lstView;
  const std::string whole = line(1);
  ASSERT_GT(list->fontMetrics().horizontalAdvance(QString::fromStdString(whole)),
            list->viewport()->width());
  const QPoint row1 = list->visualRect(list->model()->index(1, 0)).center();
  QHelpEvent hover(QEvent::ToolTip, row1, list->viewport()->mapToGlobal(row1));
  QApplication::sendEvent(list->viewport(), &hover);
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text().toStdString(), whole);
  QToolTip::hideText();
}

}  // namespace
}  // namespace notecast
