#include "engine/ChannelIndex.h"

namespace notecast {

const std::vector<std::int32_t>& ChannelIndex::recordsOn(const EventTable& table,
                                                         std::int32_t channel) {
  if (!built_ || builtFor_ != &table || builtAt_ != table.changeCount()) rebuild(table);
  static const std::vector<std::int32_t> kNone;
  const auto found = byChannel_.find(channel);
  return found == byChannel_.end() ? kNone : found->second;
}

void ChannelIndex::rebuild(const EventTable& table) {
  byChannel_.clear();
  // Ascending indices, so every channel's list keeps the table's order.
  for (std::int32_t i = 0; i < table.size(); ++i)
    byChannel_[table.record(i).DMXChannel].push_back(i);
  builtFor_ = &table;
  builtAt_ = table.changeCount();
  built_ = true;
}

}  // namespace notecast
