// The host's hands at a window: real input reaches exactly the control, row and signal a person's
// input would, and nothing reaches a disabled control. The window is plain Qt widgets marked the
// way the plug-in marks its controls.

#include "host/script/WindowDriver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

#include "host/script/ControlDump.h"
#include "host/script/ControlFinder.h"

namespace notecast::host {
namespace {

constexpr int kRows = 40;  // more than a drop-down or the list shows at once

template <class Control>
Control* addControl(QWidget* parent, const char* name, const char* kind, QRect place) {
  auto* control = new Control(parent);
  control->setObjectName(name);
  control->setProperty(controls::kControlKindProperty, kind);
  control->setGeometry(place);
  return control;
}

struct TestWindow {
  TestWindow() {
    text->setText("127");
    check->setText("Wide");  // the box runs far past its caption
    for (int row = 0; row < kRows; ++row) combo->addItem(QString::number(row));
    combo->setCurrentIndex(-1);
    for (int row = 0; row < kRows; ++row) list->addItem(QString::number(row));
  }

  QWidget window;
  QGroupBox* frame = addControl<QGroupBox>(&window, "fra", controls::kFrameKind, {0, 0, 600, 400});
  QLineEdit* text = addControl<QLineEdit>(frame, "txt", controls::kTextKind, {8, 16, 40, 19});
  QCheckBox* check = addControl<QCheckBox>(frame, "chk", controls::kCheckKind, {8, 40, 300, 13});
  QComboBox* combo = addControl<QComboBox>(frame, "cbo", controls::kComboKind, {8, 60, 100, 21});
  QListWidget* list = addControl<QListWidget>(frame, "lst", controls::kListKind, {8, 90, 300, 60});
  WindowDriver driver{window};
};

TEST(WindowDriverTest, RowsFarDownArePickedAndClickedAloneAndAgain) {
  TestWindow w;
  QSignalSpy activated(w.combo, &QComboBox::activated);
  QSignalSpy changed(w.combo, &QComboBox::currentIndexChanged);
  QSignalSpy clicked(w.list, &QListWidget::itemClicked);
  for (int time = 0; time < 2; ++time) {
    w.driver.pick("cbo", kRows - 1);
    w.driver.select("lst", kRows - 1);
  }
  ASSERT_EQ(activated.count(), 2) << "picking the current row again is a pick too";
  EXPECT_EQ(activated[0][0].toInt(), kRows - 1);
  EXPECT_EQ(changed.count(), 1) << "no row between became current";
  EXPECT_FALSE(w.combo->view()->isVisible()) << "the drop-down closed";
  EXPECT_EQ(clicked.count(), 2);
  EXPECT_EQ(w.list->currentRow(), kRows - 1);
}

TEST(WindowDriverTest, TypingGoesKeyByKeyAndAWideCheckBoxTakesTheClick) {
  TestWindow w;
  QSignalSpy edited(w.text, &QLineEdit::textEdited);
  w.driver.type("txt", "a b");
  EXPECT_EQ(edited.count(), 3);
  w.driver.click("chk");
  EXPECT_TRUE(w.check->isChecked());
}

// Qt moves the focus only for the window system's clicks; the driver's clicks must move it too,
// so leaving a text box by a click ends its editing.
TEST(WindowDriverTest, AClickTakesTheFocusAsAPersonsClickDoes) {
  TestWindow w;
  w.window.show();
  w.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
  QSignalSpy finished(w.text, &QLineEdit::editingFinished);
  w.driver.type("txt", "5");
  EXPECT_EQ(QApplication::focusWidget(), w.text);
  w.driver.click("chk");
  EXPECT_EQ(finished.count(), 1);
  EXPECT_EQ(QApplication::focusWidget(), w.check);
  w.driver.select("lst", 0);
  EXPECT_EQ(QApplication::focusWidget(), w.list) << "the list takes the focus for its rows";
}

TEST(WindowDriverTest, ControlsOfADisabledFrameIgnoreEveryInput) {
  TestWindow w;
  w.frame->setEnabled(false);
  QSignalSpy activated(w.combo, &QComboBox::activated);
  QSignalSpy clicked(w.list, &QListWidget::itemClicked);
  w.driver.type("txt", "9");
  w.driver.clear("txt");
  w.driver.click("chk");
  w.driver.pick("cbo", 3);
  w.driver.select("lst", 3);
  EXPECT_EQ(w.text->text(), "127");
  EXPECT_FALSE(w.check->isChecked());
  EXPECT_EQ(activated.count(), 0);
  EXPECT_FALSE(w.combo->view()->isVisible()) << "a disabled drop-down does not open";
  EXPECT_EQ(clicked.count(), 0);
  EXPECT_EQ(dumpControls(w.window).at(1), R"(txt text disabled 8,16,40,19 "127")");
}

TEST(WindowDriverTest, WindowIsDescribedByItsFramePlaceInTwipsAndItsState) {
  EXPECT_EQ(describeWindow(nullptr), "unloaded");
  QWidget window;
  window.move(10, 20);  // places the outer frame
  EXPECT_EQ(describeWindow(&window), "hidden left=150 top=300 state=0");
  window.showMinimized();
  window.move(10, 20);  // again, now that the window has a frame
  EXPECT_EQ(describeWindow(&window), "shown left=150 top=300 state=1");
  window.showMaximized();
  EXPECT_TRUE(describeWindow(&window).ends_with("state=2"));
}

}  // namespace
}  // namespace notecast::host
