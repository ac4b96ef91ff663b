#pragma once
// Moving a selection without running any handler: the program's own row changes (rebuilding the
// entry list, "Show line", showing an entry's kind, channel and type) must not look like a user's.

class QComboBox;
class QString;

namespace notecast {

class EntryListWidget;

// Selects row `index` of the list (-1: no row), silently. An index outside the rows selects none.
void selectListRow(EntryListWidget* list, int index);
// Selects row `index` of the drop-down (-1: no row), silently.
void selectComboRow(QComboBox* combo, int index);
// Whether a message kind's caption is that of "Custom", the free status typed into "MSG:"
// (compared without regard to case).
bool isCustomKind(const QString& caption);

}  // namespace notecast
