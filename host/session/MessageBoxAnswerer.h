#pragma once
// Answers the plug-in's modal message boxes while the host runs unattended, as a person would:
// it finds the box, reports it, and presses one of its buttons.
//
// Each box is reported as one line
//   box "TITLE" "TEXT" [Yes*,No] question -> Yes
// with the buttons in the order they appear in the box and the default one starred.
//
// Contract: lives on the user-interface thread; answers only while started, and only while an
// event loop runs (a box's own exec() is one). It learns of a box from the box's show event, so
// an idle host is not woken for it; while a box is up, a slow look now and then is the fallback.

#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <ostream>

namespace notecast::host {

class MessageBoxAnswerer : public QObject {
  Q_OBJECT

 public:
  // Reports go to `out`, which MUST outlive the answerer.
  explicit MessageBoxAnswerer(std::ostream& out, QObject* parent = nullptr);

  // The button the next box gets; QMessageBox::NoButton (and any button the box lacks) means
  // its default button. Used up by that one box.
  void setNextAnswer(QMessageBox::StandardButton button) { nextAnswer_ = button; }

  void start();
  void stop();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void poll();
  void answer(QMessageBox& box);

  std::ostream& out_;
  QTimer timer_;
  QMessageBox::StandardButton nextAnswer_ = QMessageBox::NoButton;
};

}  // namespace notecast::host
