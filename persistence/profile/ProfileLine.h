#pragma once
// One line of a profile file as the document keeps it: where its bytes are in the document's
// buffer, its line end, the line after it, and what it means to the profile functions. Lines are
// never rewritten unless their key's value changes, so a file keeps its blank lines, comments and
// odd lines byte for byte.
//
// What a line means, as the Windows profile functions read it (the text trimmed of blanks):
//   - nothing left: a blank line; no meaning.
//   - "[" up to the last "]": a section header; the name is the text between, trimmed, and text
//     after the "]" is ignored ("[Sec] note" is the section "Sec").
//   - anything else is a key line: the name is the text before the first "=", trimmed; the value
//     is the text after it, trimmed. A line without "=" (an odd line, or a comment, which the
//     functions do not tell apart) is a key without a value: reading it gives the default, and
//     writing that key gives the line a value.

#include <cstdint>
#include <string_view>

namespace notecast {

struct ProfileLine {
  enum class Kind : std::uint8_t { Blank, Section, Key };
  enum class End : std::uint8_t { None, Lf, CrLf, Cr };
  static constexpr std::uint32_t kNoLine = UINT32_MAX;

  // True for the bytes the functions trim around names and values (blank, tab, line breaks, the
  // other ASCII controls of white space, and ^Z, the old end-of-file mark).
  static bool isBlank(char c) noexcept { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A; }
  static std::string_view trim(std::string_view text) noexcept;
  static std::string_view endText(End end) noexcept;

  // Sets kind, name and value from the line's text (its bytes without the line end).
  void classify(std::string_view text) noexcept;
  // Makes the line the key line "name=value" that text holds, whatever else it would parse as:
  // the document knows it as that key until the file is read again, as the Windows functions do.
  void setKeyLine(std::string_view text, std::size_t nameSize) noexcept;

  std::string_view text(std::string_view buffer) const noexcept {
    return buffer.substr(begin, size);
  }
  std::string_view name(std::string_view buffer) const noexcept {
    return buffer.substr(begin + nameBegin, nameSize);
  }
  std::string_view value(std::string_view buffer) const noexcept {
    return buffer.substr(begin + valueBegin, valueSize);
  }

  std::uint32_t begin = 0, size = 0;  // the bytes in the document's buffer, without the line end
  std::uint32_t next = kNoLine;       // the following line of the file
  std::uint32_t section = 0;          // the section the line belongs to
  std::uint32_t nameBegin = 0, nameSize = 0;    // from begin; trimmed
  std::uint32_t valueBegin = 0, valueSize = 0;  // from begin; trimmed, quotes kept
  Kind kind = Kind::Blank;
  End end = End::None;
  bool hasValue = false;
};

}  // namespace notecast
