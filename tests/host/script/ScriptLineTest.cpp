#include "host/script/ScriptLine.h"

#include <gtest/gtest.h>

#include <limits>

#include "host/script/ScriptGrammar.h"

namespace notecast::host {
namespace {

ScriptLine parse(std::string_view text) {
  return ScriptLine::parse(text, scriptGrammar());
}

void expectBad(std::string_view text, std::string_view word, std::string_view reason) {
  const ScriptLine line = parse(text);
  EXPECT_EQ(line.kind(), ScriptLine::Kind::Bad) << text;
  EXPECT_EQ(line.word(), word) << text;
  EXPECT_EQ(line.reason(), reason) << text;
}

TEST(ScriptLineTest, EmptyBlankAndCommentLinesAreSkipped) {
  for (std::string_view text : {"", "\r", "   ", " \r", "# dmx 1 2", "  #indented", "#"}) {
    EXPECT_EQ(parse(text).kind(), ScriptLine::Kind::Skip) << '"' << text << '"';
  }
}

TEST(ScriptLineTest, NumbersAndWordsSplitAtRunsOfBlanks) {
  const ScriptLine line = parse("  message 9  -1 2147483647  \r");
  ASSERT_EQ(line.kind(), ScriptLine::Kind::Call);
  EXPECT_EQ(line.word(), "message");
  ASSERT_EQ(line.argumentCount(), 3u);
  EXPECT_EQ(line.number(0), 9);
  EXPECT_EQ(line.number(1), -1);
  EXPECT_EQ(line.number(2), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(parse("dmx 1 -2147483648").number(1), std::numeric_limits<std::int32_t>::min());
}

TEST(ScriptLineTest, TextIsTheRestAfterOneBlankTakenLiterally) {
  EXPECT_EQ(parse("second-options Note On").text(0), "Note On");
  EXPECT_EQ(parse("second-options  two  blanks \t").text(0), " two  blanks \t");
  EXPECT_EQ(parse("project /tmp/my show\r").text(0), "/tmp/my show");

  const ScriptLine execute = parse("execute  first  second and third");
  ASSERT_EQ(execute.kind(), ScriptLine::Kind::Call);
  EXPECT_EQ(execute.text(0), "first");
  EXPECT_EQ(execute.text(1), " second and third");
}

TEST(ScriptLineTest, RestMayBeEmptyOrMissing) {
  EXPECT_EQ(parse("ui").text(0), "");
  EXPECT_EQ(parse("ui type txtName  a b").text(0), "type txtName  a b");
}

TEST(ScriptLineTest, WrongArgumentCountsAreBad) {
  for (std::string_view text : {"message 1 2", "message 1 2 3 4", "disable now", "dmx", "sleep",
                                "second-options", "second-options ", "execute only", "project"}) {
    const auto word = text.substr(0, text.find(' '));
    expectBad(text, word, ScriptLine::kWrongArgumentCount);
  }
}

TEST(ScriptLineTest, NumbersWithJunkOrOverflowAreBad) {
  for (std::string_view text :
       {"dmx 1 x", "dmx 1 2x", "dmx 1 +2", "dmx 1 -", "dmx 0x10 1", "dmx 1 1.5", "dmx 1 2\t"}) {
    expectBad(text, "dmx", ScriptLine::kNotANumber);
  }
  expectBad("dmx 1 2147483648", "dmx", ScriptLine::kNumberOutOfRange);
  expectBad("dmx -2147483649 1", "dmx", ScriptLine::kNumberOutOfRange);
}

TEST(ScriptLineTest, CountIsCheckedBeforeNumbers) {
  expectBad("message x 2", "message", ScriptLine::kWrongArgumentCount);
}

TEST(ScriptLineTest, UnknownWordsAreBadAndKeepTheirSpelling) {
  expectBad("Disable", "Disable", ScriptLine::kUnknownCall);
  expectBad("frobnicate 1 2 3\r", "frobnicate", ScriptLine::kUnknownCall);
}

}  // namespace
}  // namespace notecast::host
