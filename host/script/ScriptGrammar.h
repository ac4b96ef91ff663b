#pragma once
// The calls a host script can make and how each is written. The runner gives each call its
// handler; a call listed here without a handler is one whose part is not built yet.

#include <span>
#include <string_view>

#include "host/script/ScriptLine.h"

namespace notecast::host {

std::span<const CallSyntax> scriptGrammar();
// The sub-calls of `ui`, written after its word: what a person does at the window.
std::span<const CallSyntax> uiGrammar();

}  // namespace notecast::host
