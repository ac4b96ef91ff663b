#include "plugin/LumoNotecast.h"

#include "plugin/PluginGlobals.h"

namespace notecast {

void channelValueHandler(std::int32_t channel, std::int32_t value) {
  Configfrm& window = PluginGlobals::window();
  window.ExecuteMidiEvent(channel, value);
}

}  // namespace notecast
