#pragma once
// Real user input on real widgets, as the tests need it: a pick in a drop-down through its popup
// (exactly one pick, whatever rows lie between), a mouse click on a list row, typing.

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace notecast::testing {

inline void pickComboRow(QComboBox* combo, int row) {
  combo->showPopup();
  QAbstractItemView* view = combo->view();
  QTest::qWait(1);
  // A long list scrolls; the click goes to the part of the row that shows.
  const QModelIndex index = combo->model()->index(row, 0);
  view->scrollTo(index);
  const QRect rect = view->visualRect(index) & view->viewport()->rect();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
  QTest::qWait(1);
}

inline void clickListRow(QAbstractItemView* list, int row) {
  const QRect rect = list->visualRect(list->model()->index(row, 0));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

// Clicks the check box's indicator (a click in the middle of a wide box can miss it).
inline void clickCheckBox(QCheckBox* box) {
  QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

inline void typeInto(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

}  // namespace notecast::testing
