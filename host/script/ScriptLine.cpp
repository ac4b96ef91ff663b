#include "host/script/ScriptLine.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace notecast::host {
namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kCommentMark = '#';

const CallSyntax* findSyntax(std::span<const CallSyntax> grammar, std::string_view word) {
  const auto found = std::find_if(grammar.begin(), grammar.end(),
                                  [word](const CallSyntax& syntax) { return syntax.word == word; });
  return found == grammar.end() ? nullptr : &*found;
}

// Splits `rest` (empty or starting with a blank) into the raw arguments of `syntax`; false when
// their number does not match.
bool splitArguments(std::string_view rest, const CallSyntax& syntax,
                    std::vector<std::string_view>* raw) {
  for (const ArgumentKind kind : syntax.arguments) {
    if (kind == ArgumentKind::Text || kind == ArgumentKind::Rest) {
      // Only the one blank that ends the previous argument separates; the rest is the text.
      if (!rest.empty()) rest.remove_prefix(1);
      if (kind == ArgumentKind::Text && rest.empty()) return false;
      raw->push_back(rest);
      return true;
    }
    const auto begin = rest.find_first_not_of(ScriptLine::kBlank);
    if (begin == std::string_view::npos) return false;
    rest.remove_prefix(begin);
    const auto end = std::min(rest.find(ScriptLine::kBlank), rest.size());
    raw->push_back(rest.substr(0, end));
    rest.remove_prefix(end);
  }
  return rest.find_first_not_of(ScriptLine::kBlank) == std::string_view::npos;
}

}  // namespace

ScriptLine ScriptLine::parse(std::string_view line, std::span<const CallSyntax> grammar) {
  if (!line.empty() && line.back() == kCarriageReturn) line.remove_suffix(1);
  const auto start = line.find_first_not_of(ScriptLine::kBlank);
  if (start == std::string_view::npos || line[start] == kCommentMark) return ScriptLine{};
  line.remove_prefix(start);

  const auto wordEnd = std::min(line.find(ScriptLine::kBlank), line.size());
  const std::string_view word = line.substr(0, wordEnd);
  const CallSyntax* syntax = findSyntax(grammar, word);
  if (!syntax) return bad(word, kUnknownCall);

  std::vector<std::string_view> raw;
  if (!splitArguments(line.substr(wordEnd), *syntax, &raw)) return bad(word, kWrongArgumentCount);

  ScriptLine result;
  result.kind_ = Kind::Call;
  result.word_ = word;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (syntax->arguments[i] != ArgumentKind::Number) {
      result.arguments_.emplace_back(std::string(raw[i]));
      continue;
    }
    std::int32_t value = 0;
    const char* end = raw[i].data() + raw[i].size();
    const auto [stop, error] = std::from_chars(raw[i].data(), end, value);
    if (error == std::errc::result_out_of_range) return bad(word, kNumberOutOfRange);
    if (error != std::errc{} || stop != end) return bad(word, kNotANumber);
    result.arguments_.emplace_back(value);
  }
  return result;
}

std::int32_t ScriptLine::number(std::size_t index) const {
  return std::get<std::int32_t>(arguments_.at(index));
}

const std::string& ScriptLine::text(std::size_t index) const {
  return std::get<std::string>(arguments_.at(index));
}

ScriptLine ScriptLine::bad(std::string_view word, std::string_view reason) {
  ScriptLine result;
  result.kind_ = Kind::Bad;
  result.word_ = word;
  result.reason_ = reason;
  return result;
}

}  // namespace notecast::host
