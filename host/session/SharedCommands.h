#pragma once
// The plug-in's shared commands as the desktop window and the web page offer them: the first
// options of the command server (one per shared event), and firing one the way the host's command
// system does (the picked first option, then the value of the single second option, then
// ExecuteCommand).
//
// Contract: user-interface thread only; the caller holds a PluginGate::Call around each function. A
// failure result of the plug-in throws FailedResult with that result; an answer the host cannot use
// (no second option, a value of another kind than text or number) throws std::runtime_error with a
// readable reason.

#include <QString>
#include <vector>

#include "abi/LumoTypeLib/ICommandServer.h"

namespace notecast::host {

struct SharedCommand {
  QString caption;  // what the user picks by
  QString value;    // the first option's value as text, handed back when the command is fired
};

// GetFirstOptions: every entry, in the plug-in's order.
std::vector<SharedCommand> fetchSharedCommands(lumo::ICommandServer& server);

// GetSecondOptions(value), then ExecuteCommand(value, the second option's value, empty, empty,
// empty). The plug-in's answer is not used: the host's command system ignores it.
void fireSharedCommand(lumo::ICommandServer& server, const QString& value);

// A value of an option list as the text a selection carries: a number in decimal, a text as it
// is, empty as an empty text.
QString optionText(const Variant& value);

}  // namespace notecast::host
