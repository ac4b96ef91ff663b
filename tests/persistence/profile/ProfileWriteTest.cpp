// Writing a profile file as WritePrivateProfileStringA does, every other line kept byte for
// byte.

#include <gtest/gtest.h>

#include "persistence/profile/ProfileDocument.h"

namespace notecast {
namespace {

std::string write(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value) {
  ProfileDocument document = ProfileDocument::parse(file);
  document.setString(section, key, value);
  return document.bytes();
}

TEST(ProfileWriteTest, ReplacesTheValueInPlaceAndKeepsEveryOtherLine) {
  const std::string file =
      "; top comment\r\n\r\n[General]\r\n  COUNT = 3 \r\n   \r\nodd line\r\n\tx=1\n[B]\r\n";
  EXPECT_EQ(write(file, "general", "count", "5"),
            "; top comment\r\n\r\n[General]\r\nCOUNT=5\r\n   \r\nodd line\r\n\tx=1\n[B]\r\n");
  EXPECT_EQ(write(file, "General", "x", "2"),
            "; top comment\r\n\r\n[General]\r\n  COUNT = 3 \r\n   \r\nodd line\r\nx=2\n[B]\r\n");
  EXPECT_EQ(
      write(file, "General", "odd line", "o"),
      "; top comment\r\n\r\n[General]\r\n  COUNT = 3 \r\n   \r\nodd line=o\r\n\tx=1\n[B]\r\n");
  // The same value again: the line is not touched.
  ProfileDocument document = ProfileDocument::parse(file);
  EXPECT_FALSE(document.setString("General", "COUNT", "3"));
  EXPECT_EQ(document.bytes(), file);
}

TEST(ProfileWriteTest, NewKeyFollowsTheLastNonBlankLineOfItsSection) {
  const std::string file = "top=1\r\n\r\n[A]\r\nx=1\r\n;c\r\n\r\n\r\n[B]\r\n\r\n[a]\r\ny=2\r\n";
  EXPECT_EQ(write(file, "A", "n", "v"),
            "top=1\r\n\r\n[A]\r\nx=1\r\n;c\r\nn=v\r\n\r\n\r\n[B]\r\n\r\n[a]\r\ny=2\r\n");
  EXPECT_EQ(write(file, "B", "n", "v"),
            "top=1\r\n\r\n[A]\r\nx=1\r\n;c\r\n\r\n\r\n[B]\r\nn=v\r\n\r\n[a]\r\ny=2\r\n");
  EXPECT_EQ(write(file, "", "n", "v"),
            "top=1\r\nn=v\r\n\r\n[A]\r\nx=1\r\n;c\r\n\r\n\r\n[B]\r\n\r\n[a]\r\ny=2\r\n");
  EXPECT_EQ(write("[A]\r\n", "", "n", "v"), "n=v\r\n[A]\r\n");
}

TEST(ProfileWriteTest, NewSectionGoesAtTheEndOnALineOfItsOwn) {
  EXPECT_EQ(write("", " New Sec ", " Key ", "v"), "[New Sec]\r\nKey=v\r\n");
  EXPECT_EQ(write("[A]\r\nx=1\r\n\r\n", "B", "y", "2"), "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
  EXPECT_EQ(write("[A]\r\nx=1", "B", "y", "2"), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
  EXPECT_EQ(write("[A]\r\nx=1", "A", "y", "2"), "[A]\r\nx=1\r\ny=2\r\n");
  EXPECT_EQ(write("[A]", "A", "y", "2"), "[A]\r\ny=2\r\n");
}

TEST(ProfileWriteTest, ValuesAreWrittenUnchangedAndLineBreaksBecomeBlanks) {
  ProfileDocument document;
  document.setString("S", "padded", "  lead and trail  ");
  document.setString("S", "breaks", "a\r\nb\nc\rd");
  document.setString("S\nT", "k\r", "v");
  EXPECT_EQ(document.bytes(),
            "[S]\r\npadded=  lead and trail  \r\nbreaks=a  b c d\r\n[S T]\r\nk=v\r\n");
  EXPECT_EQ(document.getString("S", "breaks", ""), "a  b c d");
  EXPECT_EQ(document.getString("S\nT", "k\r", ""), "v");
}

TEST(ProfileWriteTest, KeyByKeyWritesBuildTheFileInOrder) {
  ProfileDocument document;
  document.setString("General", "Count", "2");
  document.setString("Entry_0", "Data1", "1");
  document.setString("Entry_0", "Data2", "");
  document.setString("general", "Version", "3");
  document.setString("ENTRY_0", "data1", "7");
  EXPECT_EQ(document.bytes(),
            "[General]\r\nCount=2\r\nVersion=3\r\n[Entry_0]\r\nData1=7\r\nData2=\r\n");
}

TEST(ProfileWriteTest, LargeSectionsFollowTheSameRules) {
  // Sections of many keys find them through an index, small ones by looking at their lines.
  std::string big = "[Big]\r\n";
  for (int k = 0; k < 40; ++k) big += "k" + std::to_string(k) + "=" + std::to_string(k) + "\r\n";
  const std::string file = big + "K5=duplicate\r\n\r\n[Next]\r\nk5=next\r\n";
  ProfileDocument document = ProfileDocument::parse(file);
  EXPECT_EQ(document.getString("big", "K39", ""), "39");
  EXPECT_EQ(document.getString("Big", "k5", ""), "5");
  EXPECT_EQ(document.getString("Next", "k5", ""), "next");
  document.setString("Big", "k5", "five");
  document.setString("Big", "new", "n");
  std::string expected = big;
  expected.replace(expected.find("k5=5"), 4, "k5=five");
  EXPECT_EQ(document.bytes(), expected + "K5=duplicate\r\nnew=n\r\n\r\n[Next]\r\nk5=next\r\n");

  ProfileDocument grown;  // a section that grows past the limit while written
  for (int k = 0; k < 40; ++k)
    grown.setString("S", "k" + std::to_string(k % 30), std::to_string(k));
  EXPECT_EQ(grown.getString("S", "K29", ""), "29");
  EXPECT_EQ(grown.getString("S", "k0", ""), "30");
  std::string grownFile = "[S]\r\n";
  for (int k = 0; k < 30; ++k)
    grownFile += "k" + std::to_string(k) + "=" + std::to_string(k < 10 ? k + 30 : k) + "\r\n";
  EXPECT_EQ(grown.bytes(), grownFile);
}

}  // namespace
}  // namespace notecast
