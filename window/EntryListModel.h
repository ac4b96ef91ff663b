#pragma once
// The rows of the entry list: one entry line per event, as the table stood at the last rebuild.
//
// A rebuild takes a copy of the records and resets the model in one step; the lines themselves
// are made only for the rows the view asks for. So a rebuild of 32767 entries costs a copy of the
// records, not 32767 formatted lines and list items, and a keystroke stays instant. Rows show the
// table of the last rebuild, not the live table: a change that is not followed by a rebuild does
// not show until the next one. User-interface thread only.

#include <QAbstractListModel>
#include <vector>

#include "engine/MidiEvent.h"

namespace notecast {

class EventTable;

class EntryListModel final : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit EntryListModel(QObject* parent = nullptr);

  // Shows every record of the table in table order (nothing for a never dimensioned table).
  void rebuild(const EventTable& table);
  // No rows.
  void clear();
  // The entry line of the row; empty outside the rows.
  QString line(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  std::vector<MidiEvent> shown_;
};

}  // namespace notecast
