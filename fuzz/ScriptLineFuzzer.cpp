// Arbitrary script lines into the host's script-line parser, with both of the host's grammars.
// Checks that a line parses without a crash into a result that keeps the parser's promises: a
// call has its syntax's number of arguments, words hold no blank and text is the line's own end,
// taken literally.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "host/script/ScriptGrammar.h"
#include "host/script/ScriptLine.h"

namespace {

using notecast::host::ArgumentKind;
using notecast::host::CallSyntax;
using notecast::host::ScriptLine;

// A broken promise: says which, then stops as a crash does, so libFuzzer keeps the input.
void check(bool condition, int line = __builtin_LINE()) {
  if (condition) return;
  std::fprintf(stderr, "%s:%d: check failed\n", __FILE__, line);
  std::abort();
}

void checkParse(std::string_view line, std::span<const CallSyntax> grammar) {
  const ScriptLine parsed = ScriptLine::parse(line, grammar);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (parsed.kind() == ScriptLine::Kind::Skip) {
    const auto start = line.find_first_not_of(' ');
    check(start == std::string_view::npos || line[start] == '#');
    return;
  }
  check(!parsed.word().empty() && parsed.word().find(' ') == std::string::npos);
  if (parsed.kind() == ScriptLine::Kind::Bad) {
    check(!parsed.reason().empty());
    return;
  }
  const auto syntax = std::find_if(grammar.begin(), grammar.end(), [&](const CallSyntax& call) {
    return call.word == parsed.word();
  });
  check(syntax != grammar.end());
  check(parsed.argumentCount() == syntax->arguments.size());
  for (std::size_t i = 0; i < parsed.argumentCount(); ++i) {
    switch (syntax->arguments[i]) {
      case ArgumentKind::Number:
        (void)parsed.number(i);
        break;
      case ArgumentKind::Word:
        check(!parsed.text(i).empty() && parsed.text(i).find(' ') == std::string::npos);
        break;
      case ArgumentKind::Text:
        // The blank that ends the previous argument, then the text to the line's end.
        check(!parsed.text(i).empty() && line.size() > parsed.text(i).size());
        check(line.ends_with(parsed.text(i)));
        check(line[line.size() - parsed.text(i).size() - 1] == ' ');
        break;
      case ArgumentKind::Rest:
        check(line.ends_with(parsed.text(i)));
        break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  checkParse(line, notecast::host::scriptGrammar());
  checkParse(line, notecast::host::uiGrammar());
  return 0;
}
