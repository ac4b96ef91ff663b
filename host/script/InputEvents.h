#pragma once
// Key presses and mouse clicks delivered to a widget through Qt's public event API, as the
// window system's input reaches it: each goes through QApplication's event delivery (shortcuts
// first, then the widget, then its parents while none takes it), and a click gives the focus as
// a click from the window system does. What ships links no test library for this.
//
// Contract: user-interface thread only, with a QApplication. The widget MAY be destroyed by its
// own handlers during the input; no further event reaches it then.

#include <QPoint>
#include <QString>
#include <Qt>

class QWidget;

namespace notecast::host {

// Presses and releases `key` with `text` on `widget`. The modifier keys of `modifiers` go down
// before it (Shift, Control, Alt, Meta) and come up after it in reverse order, each event
// carrying the modifiers held at that moment.
void sendKeyClick(QWidget& widget, Qt::Key key, const QString& text = {},
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Presses and releases the left mouse button at `position` (in `widget`'s coordinates).
void sendMouseClick(QWidget& widget, QPoint position);

}  // namespace notecast::host
