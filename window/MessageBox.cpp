#include "window/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace notecast {
namespace {

QMessageBox::Icon toQt(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::None:
      return QMessageBox::NoIcon;
    case BoxIcon::Information:
      return QMessageBox::Information;
    case BoxIcon::Question:
      return QMessageBox::Question;
    case BoxIcon::Warning:
      return QMessageBox::Warning;
    case BoxIcon::Critical:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQt(BoxAnswer answer) {
  switch (answer) {
    case BoxAnswer::Ok:
      return QMessageBox::Ok;
    case BoxAnswer::Yes:
      return QMessageBox::Yes;
    case BoxAnswer::No:
      return QMessageBox::No;
    case BoxAnswer::Cancel:
      return QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

}  // namespace

BoxAnswer showMessageBox(const BoxRequest& request) {
  // A host without widgets can show no box: the default button answers.
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return request.defaultButton;
  QMessageBox box(toQt(request.icon), QString::fromStdString(request.title),
                  QString::fromStdString(request.text));
  if (request.buttons == BoxButtons::YesNoCancel) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
  }
  box.setDefaultButton(toQt(request.defaultButton));
  box.setWindowModality(Qt::ApplicationModal);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return BoxAnswer::Yes;
    case QMessageBox::No:
      return BoxAnswer::No;
    case QMessageBox::Cancel:
      return BoxAnswer::Cancel;
    default:
      return request.buttons == BoxButtons::YesNoCancel ? BoxAnswer::Cancel : BoxAnswer::Ok;
  }
}

}  // namespace notecast
