// Editing an entry through the window's controls, with real key, mouse and paste input: every
// change goes into the highlighted entry at once, numbers are range-tested and rounded, and
// nothing is written while no row is highlighted.

#include <QCheckBox>
#include <QComboBox>
#include <QLocale>
#include <QSignalSpy>

#include "tests/window/EntryWindowFixture.h"
#include "window/modMIDIHelper.h"

namespace notecast {
namespace {

using testing::eventWith;

class ConfigfrmEditingTest : public ::testing::Test, protected testing::EntryWindowFixture {
 protected:
  // One Note On entry on DMX channel 5 (row 0) and one on 6, row 0 selected by the user.
  void SetUp() override {
    load({eventWith(5), eventWith(6)});
    select(0);
  }
  int rebuilds() const { return rebuilds_.count(); }

  QSignalSpy rebuilds_{form_->lstView->model(), &QAbstractItemModel::modelReset};
};

TEST_F(ConfigfrmEditingTest, TypingBuildsTheValueKeyByKeyUntilTheRangeRefusesIt) {
  form_->txtData1->setFocus();
  form_->txtData1->selectAll();
  QTest::keyClick(form_->txtData1, Qt::Key_Delete);
  const std::pair<Qt::Key, int> keys[] = {{Qt::Key_2, 2}, {Qt::Key_0, 20}, {Qt::Key_0, 20}};
  for (const auto& [key, stored] : keys) {
    QTest::keyClick(form_->txtData1, key);
    EXPECT_EQ(entry(0).Data1, stored) << "after " << form_->txtData1->text().toStdString();
  }
  EXPECT_EQ(form_->txtData1->text(), "200");
  EXPECT_NE(line(0).find("Data1: 20,"), std::string::npos) << line(0);
}

struct NumberCase {
  const char* box;
  const char* text;
  MidiEventField field;
  std::int32_t stored;  // kUnchanged: nothing is stored
  bool rebuilt;
};
constexpr std::int32_t kUnchanged = -99;
using F = MidiEventField;

class NumberBoxTest : public ConfigfrmEditingTest,
                      public ::testing::WithParamInterface<NumberCase> {};

std::int32_t fieldOf(const MidiEvent& e, MidiEventField field) {
  switch (field) {
    case MidiEventField::DMXChannel:
      return e.DMXChannel;
    case MidiEventField::Value:
      return e.Value;
    case MidiEventField::MIDIMessage:
      return e.MIDIMessage;
    case MidiEventField::Data1:
      return e.Data1;
    case MidiEventField::Data2:
      return e.Data2;
    default:
      return kUnchanged;
  }
}

TEST_P(NumberBoxTest, PastedTextIsRangeTestedAsARealNumberAndRoundedHalfToEven) {
  const NumberCase& c = GetParam();
  if (c.field == F::MIDIMessage) testing::pickComboRow(form_->cboMIDIMessage, 7);  // "Custom"
  window_->core.table().setField(0, c.field, kUnchanged);
  const int before = rebuilds();
  paste(form_->findChild<QLineEdit*>(c.box), c.text);
  EXPECT_EQ(fieldOf(entry(0), c.field), c.stored);
  EXPECT_EQ(rebuilds() > before, c.rebuilt) << "a refused number leaves the list alone";
  EXPECT_EQ(form_->lstView->selectedRow(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, NumberBoxTest,
    ::testing::Values(NumberCase{"txtData1", "12.5", F::Data1, 12, true},
                      NumberCase{"txtData1", "13.5", F::Data1, 14, true},
                      NumberCase{"txtData1", "126.6", F::Data1, 127, true},
                      NumberCase{"txtData1", "127.4", F::Data1, kUnchanged, false},
                      NumberCase{"txtData1", "128", F::Data1, kUnchanged, false},
                      NumberCase{"txtData1", "-1", F::Data1, kUnchanged, false},
                      NumberCase{"txtData1", " +1.5e1 ", F::Data1, 15, true},
                      NumberCase{"txtData1", "0.5", F::Data1, 0, true},
                      NumberCase{"txtData1", "seven", F::Data1, kUnchanged, true},
                      NumberCase{"txtData1", "", F::Data1, kUnchanged, true},
                      NumberCase{"txtData2", "127", F::Data2, 127, true},
                      NumberCase{"txtData2", "1.5", F::Data2, 2, true},
                      NumberCase{"txtDmx", "1024", F::DMXChannel, 1024, true},
                      NumberCase{"txtDmx", "1025", F::DMXChannel, kUnchanged, false},
                      NumberCase{"txtValue", "255", F::Value, 255, true},
                      NumberCase{"txtValue", "256", F::Value, kUnchanged, false},
                      NumberCase{"txtMsg", "255", F::MIDIMessage, 255, true},
                      NumberCase{"txtMsg", "1e999", F::MIDIMessage, kUnchanged, false},
                      NumberCase{"txtMsg", "nan", F::MIDIMessage, kUnchanged, true}),
    [](const auto& info) {
      return std::string(info.param.box) + "_" + std::to_string(info.index);
    });

// Numbers are read in the user's locale and in the plain '.' form; grouping is no number.
TEST_F(ConfigfrmEditingTest, NumbersFollowTheUsersDecimalSeparator) {
  const QLocale saved;
  const struct {
    QLocale locale;
    const char* text;
    std::int32_t stored;
  } cases[] = {
      {QLocale::c(), "12,5", kUnchanged},       {QLocale::c(), "12.5", 12},
      {QLocale(QLocale::German), "12,5", 12},   {QLocale(QLocale::German), "13,5", 14},
      {QLocale(QLocale::German), "126,6", 127}, {QLocale(QLocale::German), "127,4", kUnchanged},
      {QLocale(QLocale::German), " 0,4 ", 0},   {QLocale(QLocale::German), "-0,4", kUnchanged},
      {QLocale(QLocale::German), "1,5e1", 15},  {QLocale(QLocale::German), "1.5", 2},
      {QLocale(QLocale::German), "1.000", 1},
  };
  for (const auto& c : cases) {
    QLocale::setDefault(c.locale);
    window_->core.table().setField(0, F::Data1, kUnchanged);
    paste(form_->txtData1, c.text);
    EXPECT_EQ(entry(0).Data1, c.stored) << c.text << " in " << c.locale.name().toStdString();
  }
  QLocale::setDefault(saved);
}

TEST_F(ConfigfrmEditingTest, ShareNameIsStoredAsTypedWithLineBreaksAsBlanks) {
  testing::typeInto(form_->txtShareName, " a, b ");
  EXPECT_EQ(entry(0).ShareName, " a, b ");
  paste(form_->txtShareName, "x\ny\r\nz");
  EXPECT_EQ(entry(0).ShareName, "x y  z");
  EXPECT_EQ(line(0).substr(line(0).rfind("Name: ")), "Name: x y  z");
  testing::clickCheckBox(form_->chkShare);
  EXPECT_EQ(entry(0).Share, 1);
  EXPECT_EQ(form_->txtShareName->text(), "x\ny\r\nz") << "the share box leaves the name alone";
}

// The event file holds a name of up to 1023 characters (one byte each in the file): the box
// takes no more, and what it shows is what a save and a load give back.
TEST_F(ConfigfrmEditingTest, TheShareNameBoxTakesWhatTheEventFileKeeps) {
  const QString longest(1023, QChar(0xE9));  // é, one byte in the file, two in UTF-8
  paste(form_->txtShareName, longest + QStringLiteral("cut off"));
  EXPECT_EQ(form_->txtShareName->text(), longest);
  const std::string shown = form_->txtShareName->text().toStdString();
  EXPECT_EQ(entry(0).ShareName, shown);
  ASSERT_EQ(window_->host.SaveProjectData(), S_OK);
  EXPECT_NE(testing::readBytes(dir_.file("show.Notecast"))
                .find("ShareName=" + std::string(1023, '\xE9') + "\r\n"),
            std::string::npos);
  ASSERT_EQ(window_->host.LoadProjectData(), S_OK);
  EXPECT_EQ(entry(0).ShareName, shown);
  EXPECT_EQ(form_->txtData1->maxLength(), 32767) << "the number boxes keep Qt's limit";
}

TEST_F(ConfigfrmEditingTest, CheckBoxesStoreOneWhenTickedAndZeroWhenNot) {
  testing::clickCheckBox(form_->chkSendNoteOff);
  testing::clickCheckBox(form_->chkSendOnlyOnce);
  EXPECT_EQ(entry(0).SendNoteOff, 1);
  EXPECT_EQ(entry(0).SendOnlyOnce, 1);
  EXPECT_NE(line(0).find("NoteOff: Yes, Once: Yes"), std::string::npos) << line(0);
  testing::clickCheckBox(form_->chkSendNoteOff);
  EXPECT_EQ(entry(0).SendNoteOff, 0);
}

TEST_F(ConfigfrmEditingTest, ChannelReplacesTheLowNibbleAndKindKeepsTheChannel) {
  testing::pickComboRow(form_->cboMIDIChannel, 9);  // "10"
  EXPECT_EQ(entry(0).MIDIMessage, 153);
  EXPECT_EQ(form_->txtMsg->text(), "153");
  testing::pickComboRow(form_->cboMIDIMessage, 0);  // "Note Off (0x80)"
  EXPECT_EQ(entry(0).MIDIMessage, 137);
  EXPECT_EQ(form_->txtMsg->text(), "137");
  EXPECT_FALSE(form_->txtMsg->isEnabled());
  EXPECT_TRUE(form_->cboMIDIChannel->isEnabled());
  EXPECT_NE(line(0).find("MSG: 89,"), std::string::npos) << line(0);
}

TEST_F(ConfigfrmEditingTest, CustomStartsAtZeroAndTakesTheTypedStatus) {
  testing::pickComboRow(form_->cboMIDIMessage, 7);  // "Custom"
  EXPECT_EQ(entry(0).MIDIMessage, 0);
  EXPECT_EQ(form_->txtMsg->text(), "0");
  EXPECT_TRUE(form_->txtMsg->isEnabled());
  EXPECT_FALSE(form_->cboMIDIChannel->isEnabled());
  testing::typeInto(form_->txtMsg, "248");
  EXPECT_EQ(entry(0).MIDIMessage, 248);
  EXPECT_NE(line(0).find("MSG: F8,"), std::string::npos) << line(0);
}

TEST_F(ConfigfrmEditingTest, AKindPickedWhileNoChannelIsShownUsesChannelOne) {
  load({eventWith(5, 60)});
  selectComboRow(form_->cboMIDIChannel, -1);
  select(0);  // a custom status: the channel box keeps having no row
  testing::pickComboRow(form_->cboMIDIMessage, 1);  // "Note On (0x90)"
  EXPECT_EQ(entry(0).MIDIMessage, 144);
}

TEST_F(ConfigfrmEditingTest, WithNoRowHighlightedNoControlStoresAnything) {
  window_->highlight(-1);
  const std::vector<MidiEvent> before = entries();
  for (QLineEdit* box :
       {form_->txtDmx, form_->txtValue, form_->txtData1, form_->txtData2, form_->txtShareName}) {
    testing::typeInto(box, "3");
  }
  form_->txtMsg->setEnabled(true);
  testing::typeInto(form_->txtMsg, "3");
  for (QCheckBox* box : {form_->chkSendNoteOff, form_->chkSendOnlyOnce, form_->chkShare})
    testing::clickCheckBox(box);
  testing::pickComboRow(form_->cboEvent, 2);
  testing::pickComboRow(form_->cboMIDIMessage, 3);
  testing::pickComboRow(form_->cboMIDIChannel, 4);
  EXPECT_EQ(entries(), before);
  EXPECT_EQ(form_->lstView->selectedRow(), -1);
}

}  // namespace
}  // namespace notecast
