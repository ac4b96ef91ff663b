#pragma once
// The events a table shares with the host's command system: every record with a non-empty share
// name, in table order, under that name. Names are not checked for duplicates: two records of one
// name give two options, and a command picks by row.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/EventTable.h"

namespace notecast {

struct SharedOption {
  std::string name;
  std::int32_t row;
};

// The table's shared options. The table MUST be dimensioned (error 9 otherwise).
std::vector<SharedOption> sharedOptionsOf(const EventTable& table);

}  // namespace notecast
