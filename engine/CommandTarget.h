#pragma once
// What the command server needs of the window that owns the event table.

#include <cstdint>

#include "engine/EventTable.h"

namespace notecast {

class CommandTarget {
 public:
  virtual const EventTable& eventTable() const = 0;
  // Sends record `index` at once, whatever its channel or trigger.
  virtual void ExecuteMidiEventFromCommand(std::int32_t index) = 0;

 protected:
  ~CommandTarget() = default;
};

}  // namespace notecast
