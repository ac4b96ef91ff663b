#pragma once
// The entry list: a list view over the entry lines of the event table (EntryListModel), single
// selection, unsorted, every row one line of the same height.
//
// It tells the user's selection apart from every other change of the current row: a mouse click
// on a row (also on the row already highlighted), a press dragged onto another row, or a keyboard
// move is the user's and raises userSelected; a row made current by the program, or by the list
// taking the focus, is not.
//
// The user cannot empty the selection: Ctrl+click or Ctrl+Space on the highlighted row, or a
// click beside the rows, leaves the highlight where it is (the editing controls keep writing to
// the entry they show). Only the program clears it.

#include <QListView>

namespace notecast {

class EntryListModel;
class EventTable;

class EntryListWidget : public QListView {
  Q_OBJECT

 public:
  explicit EntryListWidget(QWidget* parent = nullptr);

  // The row of the selected (highlighted) entry, -1 when none is.
  int selectedRow() const;
  // Makes `row` the selected row (-1 or a row outside the list: none) without raising
  // userSelected or any signal of the list.
  void selectRowSilently(int row);

  int count() const;
  QString rowText(int row) const;  // empty outside the rows
  // Refills the rows from the table in table order, then no row is selected.
  void showEntries(const EventTable& table);
  // No rows.
  void clear();

 signals:
  void userSelected();

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(
      const QModelIndex& index, const QEvent* event = nullptr) const override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  EntryListModel* entries_;
  int rowBeforePress_ = -1;
  bool clickSeen_ = false;
};

}  // namespace notecast
