#pragma once
// Moving a selection without running any handler: the program's own row changes (rebuilding the
// entry list, "Show line", showing an entry's kind, channel and type) must not look like a user's.

class QComboBox;
class QListWidget;

namespace notecast {

// Selects row `index` of the list (-1: no row), silently. An index outside the rows selects none.
void selectListRow(QListWidget* list, int index);
// Selects row `index` of the drop-down (-1: no row), silently.
void selectComboRow(QComboBox* combo, int index);

}  // namespace notecast
