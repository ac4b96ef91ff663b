#pragma once
// Answers the modal message boxes that appear while it lives, as a person would: it finds the
// box, notes what it showed, and presses a button. Polls every 10 ms on the Qt event loop (the
// box's own loop runs it).

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

namespace notecast::testing {

class BoxAnswerer {
 public:
  struct Shown {
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
    std::string defaultButton;
  };

  // `press`: the standard button to press; NoButton presses the box's default button.
  explicit BoxAnswerer(QMessageBox::StandardButton press = QMessageBox::NoButton) : press_(press) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
    timer_.start();
  }

  const std::vector<Shown>& shown() const { return shown_; }

 private:
  void answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    Shown seen{box->windowTitle().toStdString(), box->text().toStdString(), {}, {}};
    for (QAbstractButton* button : box->buttons())
      seen.buttons.push_back(button->text().toStdString());
    if (box->defaultButton()) seen.defaultButton = box->defaultButton()->text().toStdString();
    shown_.push_back(seen);
    QAbstractButton* target = press_ == QMessageBox::NoButton
                                  ? static_cast<QAbstractButton*>(box->defaultButton())
                                  : box->button(press_);
    if (!target) target = box->buttons().value(0);
    target->click();
  }

  QMessageBox::StandardButton press_;
  QTimer timer_;
  std::vector<Shown> shown_;
};

}  // namespace notecast::testing
