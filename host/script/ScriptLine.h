#pragma once
// One line of a host script, taken apart: a call word with its typed arguments, a line to skip
// (empty or a comment), or a line the host could not understand, with the reason.
//
// Pure text handling (no Qt, no plug-in), so any bytes may be fed to it. Lines are split at
// blanks (' ' only). A trailing '\r' is dropped, so scripts written with CRLF line ends read the
// same. Blanks before the call word and after the last argument are ignored.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace notecast::host {

enum class ArgumentKind {
  Number,  // 32-bit signed decimal: an optional '-' and digits, nothing else
  Word,    // up to the next blank
  Text,    // the rest of the line after the single blank that ends the previous argument,
           // taken literally (blanks included); never empty
  Rest,    // like Text, but may be empty or missing; the call takes it apart itself
};

// How one call is written. Text and Rest MUST only be the last argument.
struct CallSyntax {
  std::string_view word;
  std::vector<ArgumentKind> arguments;
};

class ScriptLine {
 public:
  enum class Kind { Skip, Call, Bad };
  using Argument = std::variant<std::int32_t, std::string>;

  // What separates the words and arguments of a line.
  static constexpr char kBlank = ' ';

  // Why a line is Bad.
  static constexpr std::string_view kUnknownCall = "unknown call";
  static constexpr std::string_view kWrongArgumentCount = "wrong number of arguments";
  static constexpr std::string_view kNotANumber = "not a number";
  static constexpr std::string_view kNumberOutOfRange = "number out of range";

  // Parses one line without its '\n'. `grammar` lists the calls the script may make.
  static ScriptLine parse(std::string_view line, std::span<const CallSyntax> grammar);

  Kind kind() const noexcept { return kind_; }
  // The call word as written (Call and Bad lines).
  const std::string& word() const noexcept { return word_; }
  // Why the line was not understood (Bad lines).
  const std::string& reason() const noexcept { return reason_; }

  std::size_t argumentCount() const noexcept { return arguments_.size(); }
  // Argument `index` of a Call line. The call's syntax MUST give that argument the kind read:
  // number() for Number, text() for Word, Text and Rest.
  std::int32_t number(std::size_t index) const;
  const std::string& text(std::size_t index) const;

 private:
  static ScriptLine bad(std::string_view word, std::string_view reason);

  Kind kind_ = Kind::Skip;
  std::string word_;
  std::string reason_;
  std::vector<Argument> arguments_;
};

}  // namespace notecast::host
