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
#include <QStyle>
#include <QStyleOption>
#include <QTest>
#include <map>

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
    {"Label2", "QLabel", "", "Version " NOTECAST_VERSION, 96, 24, 209, 17},
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

// Where a control draws one of its texts: the room the style gives it there (in the control's
// coordinates) and how the text sits in that room.
struct TextPlace {
  QString text;
  QRect room;
  Qt::Alignment alignment;
};

// The widest numbers the number boxes take, and the widest texts the status labels show.
const std::map<QString, QString> kWidestTexts = {
    {"txtDmx", "1024"},
    {"txtMsg", "255"},
    {"txtData1", "127"},
    {"txtData2", "127"},
    {"txtValue", "255"},
    {"lastchannellbl", "1024"},
    {"lastvaluelbl", "255 [Midi: 127] "},
};

std::vector<TextPlace> textPlaces(QWidget* widget) {
  const Qt::Alignment leftCentred = Qt::AlignLeft | Qt::AlignVCenter;
  QStyle* style = widget->style();
  std::vector<TextPlace> places;
  const auto add = [&](const QString& text, const QRect& room, Qt::Alignment alignment) {
    places.push_back({text, room, alignment});
    const auto widest = kWidestTexts.find(widget->objectName());
    if (widest != kWidestTexts.end()) places.push_back({widest->second, room, alignment});
  };
  if (auto* check = qobject_cast<QCheckBox*>(widget)) {
    QStyleOptionButton option;
    option.initFrom(check);
    option.text = check->text();
    add(check->text(), style->subElementRect(QStyle::SE_CheckBoxContents, &option, check),
        leftCentred);
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    add(button->text(), style->subElementRect(QStyle::SE_PushButtonContents, &option, button),
        Qt::AlignCenter);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.frame = combo->hasFrame();
    // The style draws the row's text one pixel inside the field beside the arrow.
    const QRect field =
        style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
            .adjusted(1, 0, -1, 0);
    for (int row = 0; row < combo->count(); ++row)
      places.push_back({combo->itemText(row), field, leftCentred});
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    if (label->pixmap().isNull()) add(label->text(), label->contentsRect(), label->alignment());
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    // Inside its frame a line edit keeps two pixels blank left and right, one above and below.
    const QMargins margins = edit->textMargins() + QMargins(2, 1, 2, 1);
    add(edit->text(), style->subElementRect(QStyle::SE_LineEditContents, &option, edit) - margins,
        leftCentred);
  } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
    add(frame->title(), frame->rect(), Qt::AlignLeft | Qt::AlignTop);
  }
  return places;
}

// Where the text lands, in the control's coordinates.
QRect textRect(const QWidget* widget, const TextPlace& place) {
  const QFontMetrics metrics = widget->fontMetrics();
  const QSize size(metrics.horizontalAdvance(place.text), metrics.height());
  return QStyle::alignedRect(widget->layoutDirection(), place.alignment, size, place.room);
}

// What a control paints over the controls below it, in its parent's coordinates: labels and
// check boxes have no background, so only their texts (and a check box's indicator) cover.
std::vector<QRect> paintedAreas(QWidget* widget) {
  auto* label = qobject_cast<QLabel*>(widget);
  auto* check = qobject_cast<QCheckBox*>(widget);
  const bool transparent =
      (check || (label && label->pixmap().isNull())) && !widget->autoFillBackground();
  if (!transparent) return {widget->geometry()};
  std::vector<QRect> areas;
  for (const TextPlace& place : textPlaces(widget))
    areas.push_back(textRect(widget, place).translated(widget->pos()));
  if (check) {
    QStyleOptionButton option;
    option.initFrom(check);
    areas.push_back(widget->style()
                        ->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check)
                        .translated(widget->pos()));
  }
  return areas;
}

// Every caption, every fixed list row and the widest value of every number box is whole: it fits
// the room its control's style leaves for it (beside a check box's indicator, a drop-down's arrow,
// inside a frame), and no control stacked above it covers it.
TEST_F(ConfigfrmWindowTest, EveryTextFitsItsControlAndNothingCoversIt) {
  form_.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  int checked = 0;
  for (QWidget* widget : form_.findChildren<QWidget*>()) {
    if (widget->isHidden() || qobject_cast<QListView*>(widget)) continue;
    const QString name = widget->objectName();
    if (name.isEmpty()) continue;  // a part of a control (a list's scroll bar)
    QWidget* parent = widget->parentWidget();
    const QObjectList stack = parent->children();
    for (const TextPlace& place : textPlaces(widget)) {
      ++checked;
      const QRect text = textRect(widget, place);
      EXPECT_TRUE(place.room.contains(text))
          << name.toStdString() << ": \"" << place.text.toStdString() << "\" needs " << text.width()
          << " x " << text.height() << " pixels, the control has " << place.room.width() << " x "
          << place.room.height();
      const QRect inParent = text.translated(widget->pos());
      for (qsizetype above = stack.indexOf(widget) + 1; above < stack.size(); ++above) {
        auto* sibling = qobject_cast<QWidget*>(stack[above]);
        if (!sibling || sibling->isHidden()) continue;
        for (const QRect& area : paintedAreas(sibling))
          EXPECT_FALSE(area.intersects(inParent))
              << name.toStdString() << ": \"" << place.text.toStdString() << "\" is covered by "
              << sibling->objectName().toStdString();
      }
    }
  }
  EXPECT_GE(checked, 50) << "every captioned control and every fixed row was looked at";
}

}  // namespace
}  // namespace notecast
