// The script calls on the plug-in's command server.

#include "host/script/CallAdapters.h"
#include "host/script/ScriptRunner.h"

namespace notecast::host {
namespace {

// One item per entry: the caption, a blank, the value.
CallResult listOptions(lumo::IOptionList* options) {
  if (!options) throw FailedResult(E_POINTER);
  std::int32_t count = 0;
  throwIfFailed(options->get_Count(&count));
  CallResult result{formatNumber(count), {}};
  for (std::int32_t index = 0; index < count; ++index) {
    Variant caption, value;
    throwIfFailed(options->GetEntry(index, &caption, &value));
    result.items.push_back(formatVariant(caption) + ' ' + formatVariant(value));
  }
  return result;
}

}  // namespace

void ScriptRunner::addCommandCalls() {
  add("command-name", [this](const ScriptLine&) {
    std::string name;
    throwIfFailed(session_.commandServer()->get_Name(&name));
    return CallResult{quoteText(name), {}};
  });
  add("first-options", [this](const ScriptLine&) { return firstOptions(); });
  add("second-options", [this](const ScriptLine& line) { return secondOptions(line); });
  add("execute", [this](const ScriptLine& line) { return execute(line); });
}

CallResult ScriptRunner::firstOptions() {
  ComPtr<lumo::IOptionList> options;
  throwIfFailed(session_.commandServer()->GetFirstOptions(options.put()));
  return listOptions(options.get());
}

CallResult ScriptRunner::secondOptions(const ScriptLine& line) {
  std::string first = line.text(0);
  ComPtr<lumo::IOptionList> options;
  throwIfFailed(session_.commandServer()->GetSecondOptions(&first, options.put()));
  return listOptions(options.get());
}

CallResult ScriptRunner::execute(const ScriptLine& line) {
  std::string first = line.text(0), second = line.text(1);
  // The host's command system passes no new value, stream or extra data.
  Variant newValue, stream, additionalData, answer;
  throwIfFailed(session_.commandServer()->ExecuteCommand(&first, &second, &newValue, &stream,
                                                         &additionalData, &answer));
  return {formatVariant(answer), {}};
}

}  // namespace notecast::host
