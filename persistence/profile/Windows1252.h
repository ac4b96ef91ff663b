#pragma once
// Windows-1252, the 8-bit text of the settings files, and its conversion to and from UTF-8.
//
// Every one of the 256 bytes is a character: the five bytes the code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls U+0081, U+008D, U+008F, U+0090, U+009D, so a
// file's bytes survive a conversion to UTF-8 and back unchanged. A character the code page lacks
// (and each byte of malformed UTF-8) becomes '?', as Windows writes it.
//
// Names that come from other systems (MIDI ports, whose names may hold any character) are kept
// whole instead: where the code page cannot hold such a text, its UTF-8 bytes go into the file
// (toFileText), and a reader tells the two forms apart (fromFileText).

#include <array>
#include <string>
#include <string_view>

namespace notecast {
namespace windows1252_detail {

// Each byte's capital letter: a..z, à..þ (but ÷), š œ ž ÿ.
constexpr std::array<unsigned char, 256> makeUpperTable() noexcept {
  constexpr int kCaseDistance = 0x20;
  std::array<unsigned char, 256> table{};
  for (int b = 0; b < 256; ++b) {
    const bool lowerAscii = b >= 'a' && b <= 'z';
    const bool lowerLatin1 = b >= 0xE0 && b <= 0xFE && b != 0xF7;
    table[b] = static_cast<unsigned char>(lowerAscii || lowerLatin1 ? b - kCaseDistance : b);
  }
  table[0x9A] = 0x8A;  // š -> Š
  table[0x9C] = 0x8C;  // œ -> Œ
  table[0x9E] = 0x8E;  // ž -> Ž
  table[0xFF] = 0x9F;  // ÿ -> Ÿ
  return table;
}
inline constexpr std::array<unsigned char, 256> kUpperTable = makeUpperTable();

}  // namespace windows1252_detail

class Windows1252 {
 public:
  // What a character without a byte in the code page becomes.
  static constexpr char kReplacement = '?';

  // The UTF-8 text of Windows-1252 bytes; always valid UTF-8.
  static std::string toUtf8(std::string_view bytes);
  // The Windows-1252 bytes of UTF-8 text, one byte a character.
  static std::string fromUtf8(std::string_view utf8);
  // The file bytes of a text that must come back whole: its Windows-1252 bytes where the code
  // page holds every character and those bytes cannot be mistaken for UTF-8, else its UTF-8
  // bytes. ASCII stays ASCII. Malformed UTF-8 is converted as fromUtf8 converts it.
  static std::string toFileText(std::string_view utf8);
  // The UTF-8 text of file bytes that toFileText wrote, or that any Windows program wrote:
  // bytes that are well-formed UTF-8 with a character beyond ASCII are taken as UTF-8, all other
  // bytes as Windows-1252.
  static std::string fromFileText(std::string_view bytes);
  // How many bytes text starts with that are ASCII (the same in both encodings).
  static std::size_t asciiPrefix(std::string_view text) noexcept;
  // The byte's capital letter (0xE4 'ä' -> 0xC4 'Ä', 0xFF 'ÿ' -> 0x9F 'Ÿ'); other bytes unchanged.
  // Names that agree byte by byte after this match ignoring case.
  static unsigned char upper(unsigned char byte) noexcept {
    return windows1252_detail::kUpperTable[byte];
  }
};

}  // namespace notecast
