#include "host/script/InputEvents.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPointingDevice>
#include <QStyleHints>
#include <QWidget>
#include <array>
#include <utility>

namespace notecast::host {
namespace {

// In the order a hand presses them.
constexpr std::array<std::pair<Qt::KeyboardModifier, Qt::Key>, 4> kModifierKeys{{
    {Qt::ShiftModifier, Qt::Key_Shift},
    {Qt::ControlModifier, Qt::Key_Control},
    {Qt::AltModifier, Qt::Key_Alt},
    {Qt::MetaModifier, Qt::Key_Meta},
}};

// A key press that is not the window system's own first goes out as a shortcut override, so a
// shortcut still takes the key before the widget does.
void sendKey(const QPointer<QWidget>& widget, QEvent::Type type, Qt::Key key,
             Qt::KeyboardModifiers modifiers, const QString& text) {
  if (!widget) return;
  QKeyEvent event(type, key, modifiers, text);
  QApplication::sendEvent(widget, &event);
}

void sendMouse(const QPointer<QWidget>& widget, QEvent::Type type, QPoint position,
               Qt::MouseButtons buttons) {
  if (!widget) return;
  QMouseEvent event(type, position, widget->mapToGlobal(position), Qt::LeftButton, buttons,
                    Qt::NoModifier, QPointingDevice::primaryPointingDevice());
  QApplication::sendEvent(widget, &event);
}

bool takesClickFocus(const QWidget& widget) {
  const QWidget* proxy = &widget;
  while (proxy->focusProxy()) proxy = proxy->focusProxy();
  const auto takes = [](const QWidget& w) {
    return (w.focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus;
  };
  return takes(widget) && takes(*proxy);
}

// Qt gives a click's focus only for the window system's clicks: the first enabled widget under
// the pointer, from the clicked one outwards, that takes focus by click gets it. The walk stops
// at the window, and at a widget that has the focus already, which a click must not take away.
void giveClickFocus(QWidget& clicked, QPoint position) {
  for (QWidget* widget = &clicked; widget; widget = widget->parentWidget()) {
    if (widget->isEnabled() && widget->rect().contains(position) && takesClickFocus(*widget)) {
      widget->setFocus(Qt::MouseFocusReason);
      return;
    }
    const QWidget* focusHolder = widget->focusProxy() ? widget->focusProxy() : widget;
    if (widget->isWindow() || focusHolder->hasFocus()) return;
    position += widget->pos();
  }
}

}  // namespace

void sendKeyClick(QWidget& widget, Qt::Key key, const QString& text,
                  Qt::KeyboardModifiers modifiers) {
  const QPointer<QWidget> target = &widget;
  Qt::KeyboardModifiers held;
  for (const auto& [modifier, modifierKey] : kModifierKeys) {
    if (!modifiers.testFlag(modifier)) continue;
    sendKey(target, QEvent::KeyPress, modifierKey, held, {});
    held |= modifier;
  }
  sendKey(target, QEvent::KeyPress, key, modifiers, text);
  sendKey(target, QEvent::KeyRelease, key, modifiers, text);
  for (auto it = kModifierKeys.rbegin(); it != kModifierKeys.rend(); ++it) {
    if (!modifiers.testFlag(it->first)) continue;
    sendKey(target, QEvent::KeyRelease, it->second, held, {});
    held &= ~it->first;
  }
}

void sendMouseClick(QWidget& widget, QPoint position) {
  const QPointer<QWidget> target = &widget;
  // Most platforms move the focus on the press; some, for touch screens, on the release, and
  // then only when the press left the focus where it was.
  const bool focusOnRelease = QGuiApplication::styleHints()->setFocusOnTouchRelease();
  const QPointer<QWidget> focusBeforePress = QApplication::focusWidget();
  if (!focusOnRelease) giveClickFocus(widget, position);
  sendMouse(target, QEvent::MouseButtonPress, position, Qt::LeftButton);
  if (focusOnRelease && target && QApplication::focusWidget() == focusBeforePress) {
    giveClickFocus(*target, position);
  }
  sendMouse(target, QEvent::MouseButtonRelease, position, Qt::NoButton);
}

}  // namespace notecast::host
