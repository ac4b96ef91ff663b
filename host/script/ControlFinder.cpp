#include "host/script/ControlFinder.h"

#include <QApplication>
#include <QVariant>

namespace notecast::host {
namespace {

void collectControls(QObject& parent, std::vector<QWidget*>* controls) {
  // children() keeps creation order; a frame's controls are its own children.
  for (QObject* child : parent.children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (!widget) continue;
    const QString kind = controlKind(*widget);
    if (kind.isEmpty()) continue;
    controls->push_back(widget);
    if (kind == QLatin1String(controls::kFrameKind)) collectControls(*widget, controls);
  }
}

}  // namespace

QWidget* findConfigWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String(controls::kConfigWindowName)) return widget;
  }
  return nullptr;
}

QString controlKind(const QWidget& widget) {
  return widget.property(controls::kControlKindProperty).toString();
}

std::vector<QWidget*> controlsInOrder(QWidget& window) {
  std::vector<QWidget*> controls;
  collectControls(window, &controls);
  return controls;
}

QWidget* findControl(QWidget& window, std::string_view name) {
  const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  for (QWidget* control : controlsInOrder(window)) {
    if (control->objectName() == wanted) return control;
  }
  return nullptr;
}

}  // namespace notecast::host
