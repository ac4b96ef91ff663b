#include "window/modMIDIHelper.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "engine/MessageKind.h"
#include "window/EntryListWidget.h"

namespace notecast {

void selectListRow(EntryListWidget* list, int index) {
  list->selectRowSilently(index);
}

void selectComboRow(QComboBox* combo, int index) {
  const QSignalBlocker blocker(combo);
  combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

bool isCustomKind(const QString& caption) {
  return caption.compare(QLatin1String(kMessageKinds[kCustomMessageRow].caption),
                         Qt::CaseInsensitive) == 0;
}

}  // namespace notecast
