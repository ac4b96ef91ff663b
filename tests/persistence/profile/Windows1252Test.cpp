// The files' Windows-1252 text at the UTF-8 edge: every byte survives, what the code page lacks
// becomes '?', and names ignore the case of its letters.

#include <gtest/gtest.h>

#include "persistence/profile/ProfileDocument.h"
#include "persistence/profile/Windows1252.h"

namespace notecast {
namespace {

std::string allBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(Windows1252Test, EveryByteRoundTripsThroughUtf8) {
  const std::string bytes = allBytes();
  const std::string utf8 = Windows1252::toUtf8(bytes);
  EXPECT_EQ(Windows1252::fromUtf8(utf8), bytes);
  EXPECT_EQ(Windows1252::toUtf8("\x80\x81\x9F\xA0\xFF"),
            "\u20AC\u0081\u0178\u00A0\u00FF");  // € U+0081 Ÿ NBSP ÿ
}

TEST(Windows1252Test, EveryByteOfAValueSurvivesAFileRoundTrip) {
  // Every byte but the line breaks and the blanks the reader trims, in the middle of a value.
  std::string inner;
  for (int b = 1; b < 256; ++b)
    if (b != '\r' && b != '\n') inner += static_cast<char>(b);
  const std::string file = "[S]\r\nk=<" + inner + ">\r\n";
  ProfileDocument document = ProfileDocument::parse(file);
  const std::string value = document.getString("S", "k", "");
  EXPECT_EQ(Windows1252::fromUtf8(value), "<" + inner + ">");
  document.setString("S", "copy", value);
  EXPECT_EQ(document.bytes(), file + "copy=<" + inner + ">\r\n");
}

TEST(Windows1252Test, WhatTheCodePageLacksBecomesAQuestionMark) {
  EXPECT_EQ(Windows1252::fromUtf8("a\u0100b\u4E2D\U0001F600c\u0080"), "a?b??c?");
  // Malformed UTF-8: a stray continuation, a cut sequence, an overlong form, a surrogate.
  EXPECT_EQ(Windows1252::fromUtf8("\x80x\xC3"), "?x?");
  EXPECT_EQ(Windows1252::fromUtf8("\xC0\xAF"), "??");
  EXPECT_EQ(Windows1252::fromUtf8("\xED\xA0\x80"), "???");
  ProfileDocument document;
  document.setString("S", "k", "\u4E2D\u00E9");
  EXPECT_EQ(document.bytes(), "[S]\r\nk=?\xE9\r\n");
}

TEST(Windows1252Test, NamesMatchIgnoringTheCaseOfAccentedLetters) {
  const ProfileDocument document =
      ProfileDocument::parse("[\xC4rger \x8A\x9F]\r\n\xC9t\xC9=1\r\n");  // [Ärger ŠŸ] ÉtÉ=1
  EXPECT_EQ(document.getString("\u00E4RGER \u0161\u00FF", "\u00E9T\u00E9", ""), "1");
  EXPECT_EQ(document.getString("\u00E4rger \u0161\u00FF", "ete", "none"), "none");
}

TEST(Windows1252Test, WholeTextUsesUtf8OnlyWhereTheCodePageFailsAndAlwaysReadsBack) {
  EXPECT_EQ(Windows1252::toFileText("synth:in"), "synth:in");
  EXPECT_EQ(Windows1252::toFileText("Caf\u00E9 \u20AC"), "Caf\xE9 \x80");
  EXPECT_EQ(Windows1252::toFileText("\u266A \u00E9"), "\u266A \u00E9") << "as UTF-8";
  // Code-page bytes that would read as UTF-8 ("\xC3\xA9" is "é") go as UTF-8 as well.
  EXPECT_EQ(Windows1252::toFileText("\u00C3\u00A9"), "\u00C3\u00A9");
  EXPECT_EQ(Windows1252::toFileText("a\xC3"), "a?") << "malformed input as fromUtf8 makes it";
  EXPECT_EQ(Windows1252::fromFileText("Caf\xE9"), "Caf\u00E9");
  EXPECT_EQ(Windows1252::fromFileText("\xC3\x28"), "\u00C3(") << "malformed UTF-8 is Windows-1252";

  // Every text of two code-page characters, with and without a character the page lacks.
  for (int a = 0x80; a < 0x100; ++a) {
    for (int b = 0x80; b < 0x100; ++b) {
      const std::string pair =
          Windows1252::toUtf8(std::string{static_cast<char>(a), static_cast<char>(b)});
      for (const std::string& text : {pair, pair + "\u4E2D"})
        ASSERT_EQ(Windows1252::fromFileText(Windows1252::toFileText(text)), text)
            << std::hex << a << " " << b;
    }
  }
}

}  // namespace
}  // namespace notecast
