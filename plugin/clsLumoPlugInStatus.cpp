// The plug-in object's output status and event count: read from the core's output control and send
// log, without loading it (a host polls it every second).

#include "abi/Boundary.h"
#include "plugin/PluginGlobals.h"
#include "plugin/clsLumoPlugIn.h"

namespace notecast {
namespace {

template <class T, class Read>
HRESULT readStatus(T* out, Read&& read) noexcept {
  if (!out) return E_POINTER;
  return callGuarded([&] { *out = read(PluginGlobals::core()); });
}

OutputState toOutputState(MidiOutputState state) {
  switch (state) {
    case MidiOutputState::kOpen:
      return OutputState::kOpen;
    case MidiOutputState::kMissing:
      return OutputState::kMissing;
    case MidiOutputState::kStalled:
      return OutputState::kStalled;
    case MidiOutputState::kNone:
      break;
  }
  return OutputState::kNone;
}

}  // namespace

HRESULT clsLumoPlugIn::get_OutputName(std::string* name) noexcept {
  return readStatus(name, [](PluginCore& core) { return core.outputStatus().name; });
}

HRESULT clsLumoPlugIn::get_OutputState(std::int32_t* state) noexcept {
  return readStatus(state, [](PluginCore& core) {
    return static_cast<std::int32_t>(toOutputState(core.outputStatus().state));
  });
}

HRESULT clsLumoPlugIn::get_MessagesSent(std::int64_t* count) noexcept {
  return readStatus(count, [](PluginCore& core) { return core.sendLog().sent(); });
}

HRESULT clsLumoPlugIn::get_MessagesNotSent(std::int64_t* count) noexcept {
  return readStatus(count, [](PluginCore& core) { return core.sendLog().notSent(); });
}

HRESULT clsLumoPlugIn::get_RecentMessages(std::string* lines) noexcept {
  return readStatus(lines, [](PluginCore& core) { return core.sendLog().recentLines(); });
}

HRESULT clsLumoPlugIn::get_EventCount(std::int32_t* count) noexcept {
  return readStatus(count, [](PluginCore& core) { return core.entryCount(); });
}

}  // namespace notecast
