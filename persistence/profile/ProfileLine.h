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
//
// A line keeps only its place and the "=" that splits it: names and values are found in its text
// when asked for, so a file of many short lines costs little more than its bytes.

#include <cstdint>
#include <string_view>

namespace notecast {

struct ProfileLine {
  enum class Kind : std::uint8_t { Blank, Section, Key };
  enum class End : std::uint8_t { None, Lf, CrLf, Cr };
  static constexpr std::uint32_t kNoLine = UINT32_MAX;
  static constexpr std::uint32_t kNoValue = UINT32_MAX;

  // True for the bytes the functions trim around names and values (blank, tab, line breaks, the
  // other ASCII controls of white space, and ^Z, the old end-of-file mark).
  static bool isBlank(char c) noexcept { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A; }
  static std::string_view trim(std::string_view text) noexcept;
  static std::string_view endText(End end) noexcept;

  // Sets kind and separator from the line's text (its bytes without the line end).
  void classify(std::string_view text) noexcept;
  // Makes the line the key line "name=value" whose name is the first nameSize bytes of its text,
  // whatever else it would parse as: the document knows it as that key until the file is read
  // again, as the Windows functions do.
  void setKeyLine(std::size_t nameSize) noexcept;

  std::string_view text(std::string_view buffer) const noexcept {
    return buffer.substr(begin, size);
  }
  // A header's or key line's name, trimmed; "" for a blank line.
  std::string_view name(std::string_view buffer) const noexcept;
  // A key line's value, trimmed, quotes kept; "" without one.
  std::string_view value(std::string_view buffer) const noexcept;
  bool hasValue() const noexcept { return separator != kNoValue; }

  // The bytes in the document's buffer, without the line end. A run of blank lines may be kept
  // as one line: its text then holds the line ends of all but its last line.
  std::uint32_t begin = 0, size = 0;
  std::uint32_t next = kNoLine;        // the following line of the file
  std::uint32_t section = 0;           // the section the line belongs to
  std::uint32_t separator = kNoValue;  // a key line's "=", from begin
  Kind kind = Kind::Blank;
  End end = End::None;
};

}  // namespace notecast
