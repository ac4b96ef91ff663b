#pragma once
// What the web page shows of the bridge, read as the status line, the desktop window and
// --monitor read it, and put into the page's JSON: the DMX input, the MIDI output with its kept
// connections, the entry list and the shared events.
//
// Contract: user-interface thread; the functions that read the plug-in MUST be called inside a
// PluginGate::Call of the session's gate.

#include <QJsonArray>
#include <QJsonObject>
#include <cstdint>
#include <optional>

#include "host/dmx/DmxStatusMeter.h"
#include "host/session/PluginSession.h"

namespace notecast::host {

QJsonObject dmxJson(const DmxInputStatus& status);
// {"name", "state", "sent", "notSent", "connections": [{"port", "state"}]}; nothing when the
// plug-in does not tell its output.
std::optional<QJsonObject> readMidiJson(const PluginSession& session);
// Nothing when the plug-in does not tell its entry list.
std::optional<std::int64_t> readEntryListRevision(const PluginSession& session);
// The entry lines, as the window's list shows them.
QJsonArray readEntryLines(const PluginSession& session);
// [{"caption", "value"}] of the command server, one per shared event; empty when it fails.
QJsonArray readSharedCommands(PluginSession& session);

}  // namespace notecast::host
