#include "engine/MessageKind.h"

namespace notecast {

int messageKindRow(std::int32_t midiMessage) {
  if (midiMessage < kFirstStatusValue) return kCustomMessageRow;
  const std::int32_t base = midiMessage - midiChannelOf(midiMessage);
  for (int row = 0; row < static_cast<int>(kMessageKinds.size()); ++row) {
    if (row != kCustomMessageRow && kMessageKinds[row].baseValue == base) return row;
  }
  return -1;
}

}  // namespace notecast
