#pragma once
// The module's free routine that the host's DMX channel change reaches.

#include <cstdint>

namespace notecast {

// Runs the dispatch of one channel change on the core's event table, then notes the channel
// and value for the window's status labels. Throws the dispatch's run-time errors.
void channelValueHandler(std::int32_t channel, std::int32_t value);

}  // namespace notecast
