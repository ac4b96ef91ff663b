#include "host/session/MessageBoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <vector>

#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

// A box is answered from its show event; this look is only the fallback for one whose show
// went by unseen.
constexpr std::chrono::milliseconds kFallbackInterval{250};

std::string captionOf(QMessageBox& box, QAbstractButton* button) {
  switch (box.standardButton(button)) {
    case QMessageBox::Yes:
      return boxButtonCaption(BoxAnswer::Yes);
    case QMessageBox::No:
      return boxButtonCaption(BoxAnswer::No);
    case QMessageBox::Cancel:
      return boxButtonCaption(BoxAnswer::Cancel);
    case QMessageBox::Ok:
      return boxButtonCaption(BoxAnswer::Ok);
    default:
      break;
  }
  // Another button: its text as shown, without the '&' of its shortcut.
  QString text = button->text();
  text.replace(QLatin1String("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
  return text.replace(QStringLiteral("\x01"), QStringLiteral("&")).toStdString();
}

BoxIcon boxIconOf(QMessageBox::Icon icon) {
  switch (icon) {
    case QMessageBox::Question:
      return BoxIcon::Question;
    case QMessageBox::Information:
      return BoxIcon::Information;
    case QMessageBox::Warning:
      return BoxIcon::Warning;
    case QMessageBox::Critical:
      return BoxIcon::Critical;
    default:
      return BoxIcon::None;
  }
}

// The buttons from left to right, then top to bottom, as the box lays them out.
std::vector<QAbstractButton*> buttonsInBoxOrder(QMessageBox& box) {
  std::vector<QAbstractButton*> buttons;
  for (QAbstractButton* button : box.buttons()) {
    if (button->isVisible()) buttons.push_back(button);
  }
  std::stable_sort(buttons.begin(), buttons.end(), [&box](QAbstractButton* a, QAbstractButton* b) {
    const QPoint pa = a->mapTo(&box, QPoint()), pb = b->mapTo(&box, QPoint());
    return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
  });
  return buttons;
}

// What Enter would press: the box's default button, else the dialog's default push button.
QAbstractButton* defaultButtonOf(QMessageBox& box, const std::vector<QAbstractButton*>& buttons) {
  if (QAbstractButton* chosen = box.defaultButton()) return chosen;
  for (QAbstractButton* button : buttons) {
    if (auto* push = qobject_cast<QPushButton*>(button); push && push->isDefault()) return push;
  }
  return buttons.empty() ? nullptr : buttons.front();
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(std::ostream& out, QObject* parent)
    : QObject(parent), out_(out) {
  timer_.setInterval(kFallbackInterval);
  connect(&timer_, &QTimer::timeout, this, &MessageBoxAnswerer::poll);
}

void MessageBoxAnswerer::start() {
  QCoreApplication::instance()->installEventFilter(this);
  // A box shown before the start is found by the slow look.
  if (qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) timer_.start();
}

void MessageBoxAnswerer::stop() {
  QCoreApplication::instance()->removeEventFilter(this);
  timer_.stop();
}

// The box is shown from its exec(): the answer is queued, so it comes from the box's own event
// loop, once the box is up.
bool MessageBoxAnswerer::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && qobject_cast<QMessageBox*>(watched)) {
    QMetaObject::invokeMethod(this, &MessageBoxAnswerer::poll, Qt::QueuedConnection);
    timer_.start();  // until no box is up
  }
  return false;
}

void MessageBoxAnswerer::poll() {
  // A box that is already closing waits for its exec() to return; answer only visible ones.
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box && box->isVisible()) {
    answer(*box);
  } else if (!box) {
    timer_.stop();
  }
}

void MessageBoxAnswerer::answer(QMessageBox& box) {
  const std::vector<QAbstractButton*> buttons = buttonsInBoxOrder(box);
  QAbstractButton* fallback = defaultButtonOf(box, buttons);
  QAbstractButton* pressed = fallback;
  if (nextAnswer_ != QMessageBox::NoButton) {
    if (QAbstractButton* wanted = box.button(nextAnswer_)) pressed = wanted;
    nextAnswer_ = QMessageBox::NoButton;
  }

  std::string captions;
  for (QAbstractButton* button : buttons) {
    if (!captions.empty()) captions += ',';
    captions += captionOf(box, button) + (button == fallback ? "*" : "");
  }
  out_ << formatBox(box.windowTitle().toStdString(), box.text().toStdString(), captions,
                    boxIconOf(box.icon()),
                    pressed ? captionOf(box, pressed) : std::string(kNoResult))
       << std::endl;

  if (pressed) {
    pressed->click();
  } else {
    box.reject();  // a box without buttons can only be closed
  }
}

}  // namespace notecast::host
