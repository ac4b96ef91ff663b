#include "plugin/LumoNotecast.h"

#include <limits>

#include "abi/RuntimeError.h"
#include "engine/ChannelDispatch.h"
#include "plugin/PluginGlobals.h"

namespace notecast {

void channelValueHandler(std::int32_t channel, std::int32_t value) {
  PluginCore& core = PluginGlobals::core();
  core.ExecuteMidiEvent(channel, value);
  core.showLastChannel(channel);
  // The value label shows the MIDI value as a 16-bit number; a larger one is an overflow.
  const std::int32_t midiValue = midiValueOf(value);
  if (midiValue < std::numeric_limits<std::int16_t>::min() ||
      midiValue > std::numeric_limits<std::int16_t>::max())
    throw RuntimeError(ErrorNumber::Overflow);
  core.showLastValue(value, static_cast<std::int16_t>(midiValue));
}

}  // namespace notecast
