// New and Delete under the entry list, and the enabling rules of the event types, driven by
// mouse clicks and picks on the shown window.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "engine/EventType.h"
#include "tests/window/EntryWindowFixture.h"
#include "window/modMIDIHelper.h"

namespace notecast {
namespace {

using testing::eventWith;

MidiEvent named(std::int32_t channel, const char* name, std::int32_t once) {
  MidiEvent event = eventWith(channel);
  event.Share = 1;
  event.ShareName = name;
  event.SendOnlyOnce = once;
  return event;
}

class ConfigfrmEntriesTest : public ::testing::Test, protected testing::EntryWindowFixture {
 protected:
  const MidiEvent a_ = named(1, "x", 0), b_ = named(2, "y", 1), c_ = named(3, "z", 0);
  void clickDelete() { QTest::mouseClick(form_->cmdDelete, Qt::LeftButton); }
  void clickNew() { QTest::mouseClick(form_->cmdNew, Qt::LeftButton); }
};

TEST_F(ConfigfrmEntriesTest, DeletingTheMiddleEntryShowsTheNextAndTheNextEditGoesThere) {
  MidiEvent c = c_;
  c.MIDIMessage = 0xB4;
  c.Data1 = 7;
  c.Typ = 2;
  load({a_, b_, c});
  select(1);
  clickDelete();
  EXPECT_EQ(entries(), (std::vector<MidiEvent>{a_, c}));
  EXPECT_EQ(form_->lstView->selectedRow(), 1);
  EXPECT_EQ(form_->txtDmx->text(), "3") << "the controls show the highlighted entry";
  EXPECT_EQ(form_->txtShareName->text(), "z");
  EXPECT_EQ(form_->txtData1->text(), "7");
  EXPECT_FALSE(form_->chkSendOnlyOnce->isChecked()) << "not the deleted entry's tick";
  EXPECT_EQ(form_->cboMIDIMessage->currentText(), "Continous controller (0xB0)");
  EXPECT_EQ(form_->cboMIDIChannel->currentText(), "5");
  EXPECT_EQ(form_->cboEvent->currentIndex(), 2);
  EXPECT_FALSE(form_->txtValue->isEnabled()) << "the enabling rules follow the shown type";
  EXPECT_EQ(entries(), (std::vector<MidiEvent>{a_, c})) << "showing it changed nothing";

  testing::typeInto(form_->txtData2, "9");
  c.Data2 = 9;
  EXPECT_EQ(entries(), (std::vector<MidiEvent>{a_, c})) << "only the typed field changed";
}

TEST_F(ConfigfrmEntriesTest, DeletingTheLastEntryHighlightsTheNewLastRow) {
  load({a_, b_, c_});
  select(2);
  clickDelete();
  EXPECT_EQ(entries(), (std::vector<MidiEvent>{a_, b_}));
  EXPECT_EQ(form_->lstView->selectedRow(), 1);
  EXPECT_EQ(form_->txtDmx->text(), "2");
}

TEST_F(ConfigfrmEntriesTest, EntriesMoveUpWholeWithTheirOwnOnceFlags) {
  load({a_, b_, c_});
  window_->core.table().setOnceAbove(1, true);
  window_->core.table().setOnceBelow(0, true);
  select(0);
  clickDelete();
  EXPECT_EQ(entries(), (std::vector<MidiEvent>{b_, c_}));
  EXPECT_TRUE(window_->core.eventTable().onceAbove(0));
  EXPECT_FALSE(window_->core.eventTable().onceBelow(0))
      << "nothing inherited from the deleted entry";
  EXPECT_FALSE(window_->core.eventTable().onceAbove(1));
}

// The entry that moves up into the highlight is shown, never written: a value-mapping entry keeps
// its "Send only once".
TEST_F(ConfigfrmEntriesTest, TheEntryShownAfterDeleteKeepsEveryField) {
  MidiEvent mapped = c_;
  mapped.Typ = static_cast<std::int32_t>(EventType::Data1FromValue);
  mapped.SendOnlyOnce = 1;
  load({a_, b_, mapped});
  select(1);
  clickDelete();
  EXPECT_EQ(entries(), (std::vector<MidiEvent>{a_, mapped}));
}

TEST_F(ConfigfrmEntriesTest, DeletingTheOnlyEntryLeavesTheBlankEntryHighlighted) {
  load({a_});
  select(0);
  clickDelete();
  EXPECT_EQ(entries(), (std::vector<MidiEvent>{MidiEvent::blank()}));
  EXPECT_EQ(line(0),
            "Chan: 0, Typ: 0, MSG: 0, Data1: 0, Data2: 0, Value: 0, NoteOff: No, Once: No, "
            "Share: No, Name: ");
  EXPECT_EQ(form_->lstView->selectedRow(), 0);
  EXPECT_EQ(form_->txtDmx->text(), "0");
  EXPECT_EQ(form_->txtShareName->text(), "");
  EXPECT_EQ(form_->cboMIDIMessage->currentText(), "Custom") << "the blank entry's status is 0";
  EXPECT_TRUE(form_->txtMsg->isEnabled());
  EXPECT_EQ(entries(), (std::vector<MidiEvent>{MidiEvent::blank()}));
}

TEST_F(ConfigfrmEntriesTest, DeleteWithNoRowHighlightedDeletesNothing) {
  load({a_, b_});
  testing::typeInto(form_->txtDmx, "9");
  clickDelete();
  EXPECT_EQ(form_->txtDmx->text(), "9") << "no entry to show";
  EXPECT_EQ(entries(), (std::vector<MidiEvent>{a_, b_}));
  EXPECT_EQ(form_->lstView->count(), 2);
  EXPECT_EQ(form_->lstView->selectedRow(), -1);
}

TEST_F(ConfigfrmEntriesTest, NewAppendsTheDefaultsAndKeepsTheHighlight) {
  load({a_});
  select(0);
  clickNew();
  EXPECT_EQ(entries(), (std::vector<MidiEvent>{a_, MidiEvent::added()}));
  EXPECT_EQ(form_->lstView->selectedRow(), 0);
  EXPECT_EQ(line(1),
            "Chan: 0, Typ: 0, MSG: 90, Data1: 0, Data2: 0, Value: 127, NoteOff: No, Once: No, "
            "Share: No, Name: ");
  window_->highlight(-1);
  clickNew();
  EXPECT_EQ(window_->core.eventTable().size(), 3);
  EXPECT_EQ(form_->lstView->selectedRow(), -1);
}

TEST_F(ConfigfrmEntriesTest, NewOnAFullTableAddsNothing) {
  load(std::vector<MidiEvent>(EventTable::kMaxRecords, a_));
  clickNew();
  EXPECT_EQ(window_->core.eventTable().size(), EventTable::kMaxRecords);
  EXPECT_EQ(form_->lstView->count(), EventTable::kMaxRecords);
}

struct EnabledCase {
  int type;
  bool data1, data2, value, once;
  std::int32_t storedOnce;  // the entry's "Send only once" after the pick (it was 1)
};

class EnablingRulesTest : public ConfigfrmEntriesTest,
                          public ::testing::WithParamInterface<EnabledCase> {};

TEST_P(EnablingRulesTest, PickedTypeEnablesItsControlsOnly) {
  const EnabledCase& c = GetParam();
  load({b_});
  select(0);
  testing::pickComboRow(form_->cboEvent, c.type);
  EXPECT_EQ(entry(0).Typ, c.type);
  EXPECT_EQ(form_->txtData1->isEnabled(), c.data1);
  EXPECT_EQ(form_->txtData2->isEnabled(), c.data2);
  EXPECT_EQ(form_->txtValue->isEnabled(), c.value);
  EXPECT_EQ(form_->chkSendOnlyOnce->isEnabled(), c.once);
  EXPECT_EQ(entry(0).SendOnlyOnce, c.storedOnce);
  EXPECT_TRUE(form_->chkSendOnlyOnce->isChecked()) << "the box keeps its tick";
  EXPECT_NE(line(0).find("Once: Yes"), std::string::npos) << "rebuilt before the rules ran";
  // The rule governs four controls only; a Note On entry shows "MSG:" disabled.
  const QWidget* untouched[] = {form_->txtDmx, form_->txtShareName, form_->chkShare,
                                form_->chkSendNoteOff, form_->cboMIDIChannel};
  for (const QWidget* other : untouched)
    EXPECT_TRUE(other->isEnabled()) << other->objectName().toStdString();
  EXPECT_FALSE(form_->txtMsg->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(EveryType, EnablingRulesTest,
                         ::testing::Values(EnabledCase{0, true, true, true, true, 1},
                                           EnabledCase{1, true, true, true, true, 1},
                                           EnabledCase{2, true, true, false, true, 1},
                                           EnabledCase{3, false, true, false, false, 0},
                                           EnabledCase{4, true, false, false, false, 0}));

TEST_F(ConfigfrmEntriesTest, ATypeOutsideTheListLeavesTheEnabledStatesAlone) {
  MidiEvent odd = b_;
  odd.Typ = 7;
  load({b_, odd});
  select(0);
  testing::pickComboRow(form_->cboEvent, 3);
  select(1);
  EXPECT_EQ(form_->cboEvent->currentIndex(), -1);
  EXPECT_FALSE(form_->txtData1->isEnabled());
  EXPECT_FALSE(form_->chkSendOnlyOnce->isEnabled());
  EXPECT_EQ(entry(1), odd);
  testing::pickComboRow(form_->cboEvent, 0);
  EXPECT_TRUE(form_->txtData1->isEnabled());
  EXPECT_TRUE(form_->txtValue->isEnabled());
}

}  // namespace
}  // namespace notecast
