// The script calls of a person at the plug-in's window: input on its controls, what it shows,
// and where it is. The host reaches the window through Qt alone; of the plug-in it only asks
// that the window be loaded, as any use of a control does.

#include <QWidget>
#include <array>
#include <utility>

#include "abi/RuntimeError.h"
#include "host/script/BadCall.h"
#include "host/script/ControlDump.h"
#include "host/script/ControlFinder.h"
#include "host/script/ScriptGrammar.h"
#include "host/script/ScriptRunner.h"
#include "host/script/WindowDriver.h"
#include "host/session/ResultFormat.h"

namespace notecast::host {
namespace {

constexpr std::string_view kWindowMissing = "window not found";
// The two calls that are no input.
constexpr std::string_view kWindowCall = "window";
constexpr std::string_view kDumpCall = "dump";

// The input calls; each prints no result.
using UiInput = void (*)(WindowDriver& driver, const ScriptLine& call);

constexpr std::array<std::pair<std::string_view, UiInput>, 5> kUiInputs{{
    {"type", [](WindowDriver& d, const ScriptLine& c) { d.type(c.text(0), c.text(1)); }},
    {"clear", [](WindowDriver& d, const ScriptLine& c) { d.clear(c.text(0)); }},
    {"click", [](WindowDriver& d, const ScriptLine& c) { d.click(c.text(0)); }},
    {"pick", [](WindowDriver& d, const ScriptLine& c) { d.pick(c.text(0), c.number(1)); }},
    {"select", [](WindowDriver& d, const ScriptLine& c) { d.select(c.text(0), c.number(1)); }},
}};

// The window, loaded first through the plug-in's own operation when it is not.
QWidget& loadedWindow(PluginSession& session) {
  VARIANT_BOOL answer = VARIANT_FALSE;
  throwIfFailed(session.windowAs<lumo::IExternalWindow>()->loadWindow(&answer));
  QWidget* window = findConfigWindow();
  if (!window) throw BadCall(kWindowMissing);
  return *window;
}

CallResult uiCall(PluginSession& session, const std::string& text) {
  const ScriptLine call = ScriptLine::parse(text, uiGrammar());
  if (call.kind() == ScriptLine::Kind::Skip) {
    const bool nothing = text.find_first_not_of(ScriptLine::kBlank) == std::string::npos;
    throw BadCall(nothing ? ScriptLine::kWrongArgumentCount : ScriptLine::kUnknownCall);
  }
  if (call.kind() == ScriptLine::Kind::Bad) throw BadCall(call.reason());
  if (call.word() == kWindowCall) return {describeWindow(findConfigWindow()), {}};
  QWidget& window = loadedWindow(session);
  if (call.word() == kDumpCall) {
    std::vector<std::string> items = dumpControls(window);
    return {formatNumber(static_cast<std::int32_t>(items.size())), std::move(items)};
  }
  for (const auto& [word, input] : kUiInputs) {
    if (call.word() != word) continue;
    WindowDriver driver(window);
    input(driver, call);
    return {std::string(kNoResult), {}};
  }
  throw BadCall(ScriptLine::kUnknownCall);
}

}  // namespace

void ScriptRunner::addUiCalls() {
  add("ui", [this](const ScriptLine& line) { return uiCall(session_, line.text(0)); });
}

}  // namespace notecast::host
