#include "window/EntryListModel.h"

#include "engine/EventTable.h"
#include "window/EntryLine.h"

namespace notecast {

EntryListModel::EntryListModel(QObject* parent) : QAbstractListModel(parent) {}

void EntryListModel::rebuild(const EventTable& table) {
  beginResetModel();
  // Assigning element by element keeps the buffers of the previous rebuild.
  shown_.resize(static_cast<std::size_t>(table.size()));
  for (std::int32_t i = 0; i < table.size(); ++i)
    shown_[static_cast<std::size_t>(i)] = table.record(i);
  endResetModel();
}

void EntryListModel::clear() {
  beginResetModel();
  shown_.clear();
  endResetModel();
}

QString EntryListModel::line(int row) const {
  if (row < 0 || row >= rowCount()) return {};
  return QString::fromStdString(entryLine(shown_[static_cast<std::size_t>(row)]));
}

int EntryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

// A line wider than the list ends in "..."; its tool tip shows the whole line.
QVariant EntryListModel::data(const QModelIndex& index, int role) const {
  if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid()) return {};
  return line(index.row());
}

}  // namespace notecast
