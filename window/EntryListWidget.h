#pragma once
// The entry list. It tells the user's selection apart from every other change of the current
// row: a mouse click on a row (also on the row already highlighted) or a keyboard move is the
// user's; a row made current by the program, or by the list taking the focus, is not.

#include <QListWidget>

namespace notecast {

class EntryListWidget : public QListWidget {
  Q_OBJECT

 public:
  explicit EntryListWidget(QWidget* parent = nullptr);

  // The row of the selected (highlighted) entry, -1 when none is.
  int selectedRow() const;

 signals:
  void userSelected();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace notecast
