#include "host/script/ControlDump.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "host/script/ControlFinder.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

constexpr int kNoRow = -1;
constexpr int kTwipsPerPixel = 15;
// Window states as the host numbers them.
constexpr int kNormalState = 0, kMinimisedState = 1, kMaximisedState = 2;

std::string quoted(const QString& text) {
  return quoteText(text.toStdString());
}

std::string geometryOf(const QWidget& control) {
  const QRect place = control.geometry();  // relative to the parent: the window or a frame
  return std::to_string(place.x()) + ',' + std::to_string(place.y()) + ',' +
         std::to_string(place.width()) + ',' + std::to_string(place.height());
}

std::string rowSummary(int selected, int count) {
  return "selected=" + std::to_string(selected) + " count=" + std::to_string(count);
}

// The highlighted row; a current row that is not selected shows no highlight.
int selectedListRow(const QAbstractItemView& list) {
  const QModelIndex current = list.currentIndex();
  return current.isValid() && list.selectionModel()->isSelected(current) ? current.row() : kNoRow;
}

// The control's VALUE; its rows (drop-downs and lists) go to `rows`.
std::string valueOf(QWidget& control, std::vector<QString>* rows) {
  if (auto* label = qobject_cast<QLabel*>(&control)) {
    // A picture is a label showing a pixmap; it has no text to tell.
    return controlKind(control) == QLatin1String(controls::kPictureKind) ? std::string()
                                                                         : quoted(label->text());
  }
  if (auto* edit = qobject_cast<QLineEdit*>(&control)) return quoted(edit->text());
  if (auto* check = qobject_cast<QCheckBox*>(&control))
    return std::string(check->isChecked() ? "1 " : "0 ") + quoted(check->text());
  if (auto* button = qobject_cast<QAbstractButton*>(&control)) return quoted(button->text());
  if (auto* frame = qobject_cast<QGroupBox*>(&control)) return quoted(frame->title());
  if (auto* combo = qobject_cast<QComboBox*>(&control)) {
    for (int row = 0; row < combo->count(); ++row) rows->push_back(combo->itemText(row));
    return rowSummary(combo->currentIndex(), combo->count());
  }
  if (auto* list = qobject_cast<QAbstractItemView*>(&control)) {
    const QAbstractItemModel& model = *list->model();
    for (int row = 0; row < model.rowCount(); ++row)
      rows->push_back(model.index(row, 0).data().toString());
    return rowSummary(selectedListRow(*list), model.rowCount());
  }
  return {};  // the MIDI control's place
}

}  // namespace

std::vector<std::string> dumpControls(QWidget& window) {
  std::vector<std::string> lines;
  for (QWidget* control : controlsInOrder(window)) {
    const std::string name = control->objectName().toStdString();
    std::vector<QString> rows;
    const std::string value = valueOf(*control, &rows);
    std::string line = name + ' ' + controlKind(*control).toStdString() + ' ' +
                       (control->isEnabled() ? "enabled " : "disabled ") + geometryOf(*control);
    if (!value.empty()) line += ' ' + value;
    lines.push_back(std::move(line));
    for (std::size_t row = 0; row < rows.size(); ++row)
      lines.push_back(name + '[' + std::to_string(row) + "] " + quoted(rows[row]));
  }
  return lines;
}

std::string describeWindow(const QWidget* window) {
  if (!window) return "unloaded";
  const QPoint corner = window->frameGeometry().topLeft() * kTwipsPerPixel;
  const Qt::WindowStates states = window->windowState();
  const int state = states & Qt::WindowMinimized   ? kMinimisedState
                    : states & Qt::WindowMaximized ? kMaximisedState
                                                   : kNormalState;
  return std::string(window->isVisible() ? "shown" : "hidden") +
         " left=" + std::to_string(corner.x()) + " top=" + std::to_string(corner.y()) +
         " state=" + std::to_string(state);
}

}  // namespace notecast::host
