#include "persistence/profile/Windows1252.h"

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>

namespace notecast {
namespace {

constexpr unsigned char kFirstHighByte = 0x80;
constexpr unsigned char kFirstLatin1Byte = 0xA0;
constexpr char32_t kMaxCodePoint = 0x10FFFF;

// The characters of bytes 0x80..0x9F; the rest of the code page equals its Unicode number.
constexpr std::array<char16_t, 32> kHighCharacters = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

char32_t characterOf(unsigned char byte) {
  if (byte >= kFirstHighByte && byte < kFirstLatin1Byte) return kHighCharacters[byte - 0x80];
  return byte;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The byte of a character, or nothing when the code page lacks it.
std::optional<char> byteOf(char32_t c) {
  static const std::unordered_map<char32_t, unsigned char> highBytes = [] {
    std::unordered_map<char32_t, unsigned char> map;
    for (unsigned byte = kFirstHighByte; byte < kFirstLatin1Byte; ++byte)
      map.emplace(kHighCharacters[byte - kFirstHighByte], static_cast<unsigned char>(byte));
    return map;
  }();
  if (c < kFirstHighByte || (c >= kFirstLatin1Byte && c <= 0xFF)) return static_cast<char>(c);
  const auto found = highBytes.find(c);
  if (found == highBytes.end()) return std::nullopt;
  return static_cast<char>(found->second);
}

// Decodes the UTF-8 sequence at text[i]; advances i past it. A malformed sequence (bad lead
// byte, missing continuation, overlong form, surrogate, beyond U+10FFFF) yields nothing and
// advances past its first byte only.
bool decodeUtf8(std::string_view text, std::size_t& i, char32_t& c) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    c = lead;
    ++i;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, c = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, c = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, c = lead & 0x07, minimum = 0x10000;
  } else {
    ++i;
    return false;
  }
  if (i + length > text.size()) {
    ++i;
    return false;
  }
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return false;
    }
    c = (c << 6) | (next & 0x3F);
  }
  if (c < minimum || c > kMaxCodePoint || (c >= 0xD800 && c <= 0xDFFF)) {
    ++i;
    return false;
  }
  i += length;
  return true;
}

// The Windows-1252 bytes of well-formed UTF-8 text, or nothing when it is malformed or holds a
// character the code page lacks.
std::optional<std::string> exactBytes(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t c = 0;
    if (!decodeUtf8(utf8, i, c)) return std::nullopt;
    const std::optional<char> byte = byteOf(c);
    if (!byte) return std::nullopt;
    out += *byte;
  }
  return out;
}

// Well-formed UTF-8 with at least one character beyond ASCII.
bool isWideUtf8(std::string_view bytes) {
  std::size_t i = Windows1252::asciiPrefix(bytes);
  if (i == bytes.size()) return false;
  while (i < bytes.size()) {
    char32_t c = 0;
    if (!decodeUtf8(bytes, i, c)) return false;
  }
  return true;
}

}  // namespace

std::string Windows1252::toFileText(std::string_view utf8) {
  if (asciiPrefix(utf8) == utf8.size()) return std::string(utf8);
  if (!isWideUtf8(utf8)) return fromUtf8(utf8);
  // Code-page bytes that happen to be well-formed UTF-8 ("Ã©") would read back as UTF-8 ("é"):
  // such a text is written as UTF-8 too, which reads back as itself.
  std::optional<std::string> bytes = exactBytes(utf8);
  if (bytes && !isWideUtf8(*bytes)) return std::move(*bytes);
  return std::string(utf8);
}

std::string Windows1252::fromFileText(std::string_view bytes) {
  return isWideUtf8(bytes) ? std::string(bytes) : toUtf8(bytes);
}

std::size_t Windows1252::asciiPrefix(std::string_view text) noexcept {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) < kFirstHighByte) ++i;
  return i;
}

std::string Windows1252::toUtf8(std::string_view bytes) {
  // ASCII, the usual text, is the same in both.
  const std::size_t ascii = asciiPrefix(bytes);
  std::string out(bytes.substr(0, ascii));
  if (ascii == bytes.size()) return out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (const char byte : bytes.substr(ascii))
    appendUtf8(out, characterOf(static_cast<unsigned char>(byte)));
  return out;
}

std::string Windows1252::fromUtf8(std::string_view utf8) {
  std::size_t i = asciiPrefix(utf8);
  std::string out(utf8.substr(0, i));
  if (i == utf8.size()) return out;
  out.reserve(utf8.size());
  while (i < utf8.size()) {
    char32_t c = 0;
    out += decodeUtf8(utf8, i, c) ? byteOf(c).value_or(kReplacement) : kReplacement;
  }
  return out;
}

}  // namespace notecast
