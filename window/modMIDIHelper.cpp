#include "window/modMIDIHelper.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

namespace notecast {

void selectListRow(QListWidget* list, int index) {
  const QSignalBlocker blocker(list);
  if (index < 0 || index >= list->count()) {
    list->setCurrentRow(-1);
    list->clearSelection();
    return;
  }
  list->setCurrentRow(index);
}

void selectComboRow(QComboBox* combo, int index) {
  const QSignalBlocker blocker(combo);
  combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

}  // namespace notecast
