#include "window/EntryListWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>

#include "window/EntryListModel.h"

namespace notecast {

EntryListWidget::EntryListWidget(QWidget* parent)
    : QListView(parent), entries_(new EntryListModel(this)) {
  setModel(entries_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // Every row is one line in one font: the view lays out 32767 rows without measuring them.
  setUniformItemSizes(true);
  // clicked comes on release over the row pressed, also for the highlighted row.
  connect(this, &QAbstractItemView::clicked, this, [this] {
    clickSeen_ = true;
    emit userSelected();
  });
}

int EntryListWidget::selectedRow() const {
  const QModelIndex current = currentIndex();
  return current.isValid() && selectionModel()->isSelected(current) ? current.row() : -1;
}

// The blocker silences the list; the selection model still tells the view, which only repaints.
void EntryListWidget::selectRowSilently(int row) {
  const QSignalBlocker blocker(this);
  if (row < 0 || row >= count()) {
    selectionModel()->clear();
    return;
  }
  setCurrentIndex(entries_->index(row));
}

int EntryListWidget::count() const {
  return entries_->rowCount();
}

QString EntryListWidget::rowText(int row) const {
  return entries_->line(row);
}

void EntryListWidget::showEntries(const EventTable& table) {
  const QSignalBlocker blocker(this);
  entries_->rebuild(table);
}

void EntryListWidget::clear() {
  const QSignalBlocker blocker(this);
  entries_->clear();
}

QItemSelectionModel::SelectionFlags EntryListWidget::selectionCommand(const QModelIndex& index,
                                                                      const QEvent* event) const {
  const QItemSelectionModel::SelectionFlags command = QListView::selectionCommand(index, event);
  if (!index.isValid() || (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle)))
    return QItemSelectionModel::NoUpdate;
  return command;
}

void EntryListWidget::mousePressEvent(QMouseEvent* event) {
  rowBeforePress_ = selectedRow();
  QListView::mousePressEvent(event);
}

// A press dragged onto another row selects that row but makes no click: it is the user's
// selection all the same, or the next edit would go to an entry the controls do not show.
void EntryListWidget::mouseReleaseEvent(QMouseEvent* event) {
  clickSeen_ = false;
  QListView::mouseReleaseEvent(event);
  const int row = selectedRow();
  if (!clickSeen_ && row >= 0 && row != rowBeforePress_) emit userSelected();
}

void EntryListWidget::keyPressEvent(QKeyEvent* event) {
  const int before = selectedRow();
  QListView::keyPressEvent(event);
  if (selectedRow() != before) emit userSelected();
}

}  // namespace notecast
