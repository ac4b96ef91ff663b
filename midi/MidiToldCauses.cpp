#include "midi/MidiToldCauses.h"

namespace notecast {

std::shared_ptr<MidiToldCauses> MidiToldCauses::processWide() {
  static const std::shared_ptr<MidiToldCauses> shared = std::make_shared<MidiToldCauses>();
  return shared;
}

}  // namespace notecast
