#pragma once
// For each DMX channel, the indices of the records that watch it, in table order. Rebuilt when
// the table's change counter has moved since the last build, so it is exact after every change
// (a record's channel edited, New, Delete, load, clear) without the table knowing about it.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/EventTable.h"

namespace notecast {

class ChannelIndex {
 public:
  // The records of `table` whose DMXChannel equals `channel`, ascending.
  const std::vector<std::int32_t>& recordsOn(const EventTable& table, std::int32_t channel);

 private:
  void rebuild(const EventTable& table);

  std::unordered_map<std::int32_t, std::vector<std::int32_t>> byChannel_;
  const EventTable* builtFor_ = nullptr;
  std::uint64_t builtAt_ = 0;
  bool built_ = false;
};

}  // namespace notecast
