#include "window/EntryListWidget.h"

#include <QKeyEvent>

namespace notecast {

EntryListWidget::EntryListWidget(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSortingEnabled(false);
  // itemClicked comes on release over the row pressed, also for the highlighted row.
  connect(this, &QListWidget::itemClicked, this, &EntryListWidget::userSelected);
}

int EntryListWidget::selectedRow() const {
  const QListWidgetItem* item = currentItem();
  return item && item->isSelected() ? row(item) : -1;
}

void EntryListWidget::keyPressEvent(QKeyEvent* event) {
  const int before = selectedRow();
  QListWidget::keyPressEvent(event);
  if (selectedRow() != before) emit userSelected();
}

}  // namespace notecast
