// The window's controls as a user sees them: names, kinds, places, texts, fixed lists, focus
// order. The expected values are written out here on their own, not taken from the layout table.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include "engine/EventTable.h"
#include "window/ConfigfrmForm.h"
#include "window/EntryListWidget.h"

namespace notecast {
namespace {

struct Expected {
  const char* name;
  const char* className;
  const char* parent;  // "" for the window
  const char* text;
  int x, y, w, h;
};

const Expected kExpected[] = {
    {"Image1", "QLabel", "", nullptr, 8, 8, 75, 68},
    {"Label1", "QLabel", "", "Notecast Plugin", 96, 8, 209, 17},
    {"Label2", "QLabel", "", "Version 0.8", 96, 24, 209, 17},
    {"Label5", "QLabel", "", nullptr, 96, 40, 209, 17},
    {"cmdOK", "QPushButton", "", "OK", 424, 72, 113, 25},
    {"Label3", "QLabel", "", "Last channel:", 8, 80, 73, 17},
    {"lastchannellbl", "QLabel", "", "...", 80, 80, 33, 17},
    {"Label9", "QLabel", "", "Last channelvalue:", 120, 80, 97, 17},
    {"lastvaluelbl", "QLabel", "", "...", 216, 80, 129, 17},
    {"Label11", "QLabel", "Midi-Output Setup:", "Midi-Output-Driver:", 8, 24, 361, 17},
    {"cboMidiOutput", "QComboBox", "Midi-Output Setup:", nullptr, 8, 40, 393, 21},
    {"cmdSendTestNote", "QPushButton", "Midi-Output Setup:", "Send Testnote", 408, 40, 113, 25},
    {"Label10", "QLabel", "Event-Setup:", "DMX Chan:", 8, 16, 57, 17},
    {"Label12", "QLabel", "Event-Setup:", "Midi Message:", 320, 16, 113, 17},
    {"Label13", "QLabel", "Event-Setup:", "MIDI Chan:", 464, 16, 57, 17},
    {"txtDmx", "QLineEdit", "Event-Setup:", "0", 8, 32, 33, 19},
    {"chkShowLine", "QCheckBox", "Event-Setup:", "Show line", 48, 32, 73, 13},
    {"chkSendOnlyOnce", "QCheckBox", "Event-Setup:", "Send only once", 120, 32, 121, 13},
    {"txtShareName", "QLineEdit", "Event-Setup:", "", 224, 32, 89, 19},
    {"cboMIDIMessage", "QComboBox", "Event-Setup:", nullptr, 320, 32, 153, 21},
    {"cboMIDIChannel", "QComboBox", "Event-Setup:", nullptr, 480, 32, 41, 21},
    {"chkSendNoteOff", "QCheckBox", "Event-Setup:", "Send Note-Off after Event", 48, 48, 153, 13},
    {"chkShare", "QCheckBox", "Event-Setup:", "Share via Commands", 192, 48, 121, 17},
    {"Label4", "QLabel", "Event-Setup:", "Event:", 8, 56, 129, 17},
    {"Label6", "QLabel", "Event-Setup:", "MSG:", 368, 56, 33, 17},
    {"Label7", "QLabel", "Event-Setup:", "Data1:", 408, 56, 33, 17},
    {"data3lbl", "QLabel", "Event-Setup:", "Data2:", 448, 56, 33, 17},
    {"Label8", "QLabel", "Event-Setup:", "Value:", 488, 56, 33, 17},
    {"cboEvent", "QComboBox", "Event-Setup:", nullptr, 8, 72, 353, 21},
    {"txtMsg", "QLineEdit", "Event-Setup:", "1", 368, 72, 33, 19},
    {"txtData1", "QLineEdit", "Event-Setup:", "0", 408, 72, 33, 19},
    {"txtData2", "QLineEdit", "Event-Setup:", "0", 448, 72, 33, 19},
    {"txtValue", "QLineEdit", "Event-Setup:", "127", 488, 72, 33, 19},
    {"lstView", "QListView", "Event-Setup:", nullptr, 8, 96, 513, 108},
    {"cmdNew", "QPushButton", "Event-Setup:", "New", 8, 216, 41, 25},
    {"cmdDelete", "QPushButton", "Event-Setup:", "Delete", 56, 216, 57, 25},
};

QString textOf(QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  return {};
}

class ConfigfrmFormTest : public ::testing::TestWithParam<Expected> {
 protected:
  static void SetUpTestSuite() { form_ = new ConfigfrmForm; }
  static void TearDownTestSuite() { delete form_; }
  static ConfigfrmForm* form_;
};
ConfigfrmForm* ConfigfrmFormTest::form_ = nullptr;

TEST_P(ConfigfrmFormTest, ControlHasItsNameKindPlaceAndText) {
  const Expected& e = GetParam();
  auto* widget = form_->findChild<QWidget*>(e.name);
  ASSERT_NE(widget, nullptr) << "no control named " << e.name;
  EXPECT_TRUE(widget->inherits(e.className))
      << e.name << " is a " << widget->metaObject()->className();
  EXPECT_EQ(widget->geometry(), QRect(e.x, e.y, e.w, e.h)) << e.name;
  EXPECT_TRUE(widget->isEnabled()) << e.name;
  QWidget* parent = widget->parentWidget();
  if (*e.parent) {
    auto* frame = qobject_cast<QGroupBox*>(parent);
    ASSERT_NE(frame, nullptr) << e.name << " lies in a frame";
    EXPECT_EQ(frame->title().toStdString(), e.parent);
  } else {
    EXPECT_EQ(parent, form_) << e.name;
  }
  if (e.text) {
    EXPECT_EQ(textOf(widget).toStdString(), e.text) << e.name;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryControl, ConfigfrmFormTest, ::testing::ValuesIn(kExpected),
                         [](const auto& info) { return std::string(info.param.name); });

class ConfigfrmWindowTest : public ::testing::Test {
 protected:
  ConfigfrmForm form_;
};

TEST_F(ConfigfrmWindowTest, WindowCaptionSizeFramesAndTitleFont) {
  EXPECT_EQ(form_.objectName(), "Configfrm");
  EXPECT_EQ(form_.windowTitle(), "Notecast Plugin");
  EXPECT_EQ(form_.size(), QSize(546, 441));
  EXPECT_FALSE(form_.windowIcon().isNull());
  auto frames = form_.findChildren<QGroupBox*>();
  ASSERT_EQ(frames.size(), 2);
  EXPECT_EQ(frames[0]->geometry(), QRect(8, 104, 529, 73));
  EXPECT_EQ(frames[1]->geometry(), QRect(8, 184, 529, 249));
  auto* title = form_.findChild<QLabel*>("Label1");
  EXPECT_TRUE(title->font().bold());
  EXPECT_DOUBLE_EQ(title->font().pointSizeF(), 9.75);
  auto* logo = form_.findChild<QLabel*>("Image1");
  EXPECT_EQ(logo->pixmap().size(), QSize(75, 68));
  EXPECT_FALSE(form_.findChild<QLabel*>("Label5")->text().isEmpty());
}

TEST_F(ConfigfrmWindowTest, FixedListsWithTheirNumbersAndNoSelectedRow) {
  const std::vector<std::pair<QString, int>> kinds = {
      {"Note Off (0x80)", 128},     {"Note On (0x90)", 144},
      {"Aftertouch (0xA0)", 160},   {"Continous controller (0xB0)", 176},
      {"Patch Change (0xC0)", 192}, {"Channel Pressure (0xD0)", 208},
      {"Pitch bend (0xE0)", 224},   {"Custom", 0}};
  ASSERT_EQ(form_.cboMIDIMessage->count(), 8);
  for (int row = 0; row < 8; ++row) {
    EXPECT_EQ(form_.cboMIDIMessage->itemText(row), kinds[row].first);
    EXPECT_EQ(form_.cboMIDIMessage->itemData(row).toInt(), kinds[row].second);
  }
  ASSERT_EQ(form_.cboMIDIChannel->count(), 16);
  EXPECT_EQ(form_.cboMIDIChannel->itemText(0), "1");
  EXPECT_EQ(form_.cboMIDIChannel->itemText(15), "16");
  ASSERT_EQ(form_.cboEvent->count(), 5);
  EXPECT_EQ(form_.cboEvent->itemText(0), "Send static MSG on Channelvalue > Value");
  EXPECT_EQ(form_.cboEvent->itemText(1), "Send static MSG on Channelvalue < Value");
  EXPECT_EQ(form_.cboEvent->itemText(2), "Send static MSG on Channelvaluechange");
  EXPECT_EQ(form_.cboEvent->itemText(3), "Send MSG with Data1 = Channelvalue");
  EXPECT_EQ(form_.cboEvent->itemText(4), "Send MSG with Data2 = Channelvalue");
  for (QComboBox* combo : form_.findChildren<QComboBox*>()) {
    EXPECT_EQ(combo->currentIndex(), -1) << combo->objectName().toStdString();
    EXPECT_FALSE(combo->isEditable()) << combo->objectName().toStdString();
  }
  EXPECT_EQ(form_.lstView->count(), 0);
  EXPECT_EQ(form_.lstView->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(ConfigfrmWindowTest, NoButtonIsDefaultOrCancel) {
  for (QPushButton* button : form_.findChildren<QPushButton*>()) {
    EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
    EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
  }
}

TEST_F(ConfigfrmWindowTest, KeyboardFocusFollowsTheWindowsOrder) {
  const QStringList expected = {
      "cmdOK",          "lstView",         "cmdNew",         "txtMsg",      "txtData1",
      "txtData2",       "cmdDelete",       "txtValue",       "txtDmx",      "cboMidiOutput",
      "cboEvent",       "cmdSendTestNote", "chkSendNoteOff", "chkShowLine", "cboMIDIMessage",
      "cboMIDIChannel", "chkSendOnlyOnce", "chkShare",       "txtShareName"};
  QWidget* widget = form_.findChild<QWidget*>("cmdOK");
  QStringList order;
  for (int i = 0; i < expected.size(); ++i) {
    order << widget->objectName();
    do {
      widget = widget->nextInFocusChain();
    } while (widget != &form_ && !(widget->focusPolicy() & Qt::TabFocus));
  }
  EXPECT_EQ(order, expected);
}

}  // namespace
}  // namespace notecast

namespace notecast {
namespace {

// Renders the window offscreen into the build tree (configfrm.png) for a person to look at.
TEST(ConfigfrmPictureTest, WindowRendersOffscreen) {
  ConfigfrmForm form;
  form.cboMidiOutput->addItem("Notecast virtual output");
  form.cboMidiOutput->setCurrentIndex(0);
  MidiEvent fade = MidiEvent::added();
  fade.DMXChannel = 12;
  fade.Typ = 3;
  fade.MIDIMessage = 176;
  fade.Data1 = 7;
  fade.SendNoteOff = 1;
  fade.Share = 1;
  fade.ShareName = "fade";
  EventTable table;
  table.assign({fade});
  form.lstView->showEntries(table);
  ASSERT_EQ(form.lstView->rowText(0).toStdString(),
            "Chan: 12, Typ: 3, MSG: B0, Data1: 7, Data2: 0, Value: 127, NoteOff: Yes, Once: No, "
            "Share: Yes, Name: fade");
  const QPixmap picture = form.grab();
  EXPECT_EQ(picture.size(), QSize(546, 441));
  EXPECT_TRUE(picture.save(QStringLiteral(NOTECAST_TEST_OUTPUT_DIR "/configfrm.png")));
}

}  // namespace
}  // namespace notecast
