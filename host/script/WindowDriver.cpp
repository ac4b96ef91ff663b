#include "host/script/WindowDriver.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyleOptionButton>
#include <algorithm>

#include "host/script/BadCall.h"
#include "host/script/ControlFinder.h"
#include "host/script/InputEvents.h"

namespace notecast::host {
namespace {

constexpr char32_t kFirstPrintable = 0x20;
constexpr char32_t kEscape = 0x1B;
constexpr char32_t kDelete = 0x7F;

// Lets the plug-in's handlers, and whatever they posted, run before the call returns.
void settle() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

void checkRow(int row, int count) {
  if (row < 0 || row >= count) throw BadCall(WindowDriver::kRowOutOfRange);
}

// As a person does before typing: into the box, everything in it selected (Ctrl+A), so the
// next key replaces it. A disabled box takes neither the focus nor the keys.
void focusAndSelectAll(QLineEdit& edit) {
  edit.setFocus(Qt::OtherFocusReason);
  sendKeyClick(edit, Qt::Key_A, QStringLiteral("a"), Qt::ControlModifier);
}

// The key a keyboard reports for a character: control characters have their own keys; any other
// character reports its upper-case code, as Qt's keys for letters do.
Qt::Key keyFor(char32_t character) {
  switch (character) {
    case U'\t':
      return Qt::Key_Tab;
    case U'\r':
    case U'\n':
      return Qt::Key_Return;
    case U'\b':
      return Qt::Key_Backspace;
    case kEscape:
      return Qt::Key_Escape;
    case kDelete:
      return Qt::Key_Delete;
    default:
      return character < kFirstPrintable ? Qt::Key_unknown
                                         : static_cast<Qt::Key>(QChar::toUpper(character));
  }
}

// One key press and release per character, any character a script can hold.
void typeCharacters(QWidget& widget, const QString& text) {
  for (const char32_t character : text.toUcs4()) {
    sendKeyClick(widget, keyFor(character), QString::fromUcs4(&character, 1));
  }
}

// A wide check box can have its centre past its caption; the indicator always takes the click.
QPoint indicatorCentre(QCheckBox& box) {
  QStyleOptionButton option;
  option.initFrom(&box);
  return box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box).center();
}

// Clicks the row where it shows: a row's rectangle runs as wide as its text, which may be
// wider than the view, so the middle of its visible part takes the click.
void clickRow(QAbstractItemView& view, const QModelIndex& index) {
  view.scrollTo(index);
  const QRect visible = view.visualRect(index) & view.viewport()->rect();
  sendMouseClick(*view.viewport(), visible.center());
}

}  // namespace

template <class Control>
Control& WindowDriver::control(std::string_view name,
                               std::initializer_list<const char*> kinds) const {
  QWidget* found = findControl(window_, name);
  if (!found) throw BadCall(kUnknownControl);
  const QString kind = controlKind(*found);
  auto* typed = qobject_cast<Control*>(found);
  const bool kindMatches = std::any_of(kinds.begin(), kinds.end(),
                                       [&kind](const char* wanted) { return kind == wanted; });
  if (!typed || !kindMatches) throw BadCall(kWrongKind);
  return *typed;
}

QLineEdit& WindowDriver::textBoxForInput(std::string_view name) const {
  auto& edit = control<QLineEdit>(name, {controls::kTextKind});
  focusAndSelectAll(edit);
  return edit;
}

void WindowDriver::type(std::string_view name, const std::string& text) {
  QLineEdit& edit = textBoxForInput(name);
  typeCharacters(edit, QString::fromStdString(text));
  settle();
}

void WindowDriver::clear(std::string_view name) {
  QLineEdit& edit = textBoxForInput(name);
  sendKeyClick(edit, Qt::Key_Delete);
  settle();
}

void WindowDriver::click(std::string_view name) {
  auto& button = control<QAbstractButton>(name, {controls::kCheckKind, controls::kButtonKind});
  if (auto* check = qobject_cast<QCheckBox*>(&button)) {
    sendMouseClick(*check, indicatorCentre(*check));
  } else {
    sendMouseClick(button, button.rect().center());
  }
  settle();
}

void WindowDriver::pick(std::string_view name, int row) {
  QPointer<QComboBox> combo = &control<QComboBox>(name, {controls::kComboKind});
  checkRow(row, combo->count());
  // F4 opens the drop-down as a person's key does; a disabled drop-down stays closed. Choosing
  // in the open list moves only its highlight until the click, so rows between are not picked.
  sendKeyClick(*combo, Qt::Key_F4);
  settle();
  if (!combo) return;
  QAbstractItemView* view = combo->view();
  if (!view->isVisible()) return;
  const QModelIndex index = combo->model()->index(row, combo->modelColumn());
  clickRow(*view, index);
  settle();
  // A row that does not take the click leaves the list open; a person would close it.
  if (combo && combo->view()->isVisible()) {
    sendKeyClick(*combo->view(), Qt::Key_Escape, QString(QChar(kEscape)));
  }
}

void WindowDriver::select(std::string_view name, int row) {
  auto& list = control<QAbstractItemView>(name, {controls::kListKind});
  checkRow(row, list.model()->rowCount());
  clickRow(list, list.model()->index(row, 0));
  settle();
}

}  // namespace notecast::host
