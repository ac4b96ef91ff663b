// Reading a profile file as GetPrivateProfileStringA does.

#include <gtest/gtest.h>
#include <malloc.h>

#include <tuple>
#include <vector>

#include "persistence/profile/ProfileDocument.h"

namespace notecast {
namespace {

constexpr const char* kDefault = "DEF";

std::string get(const std::string& file, const std::string& section, const std::string& key) {
  return ProfileDocument::parse(file).getString(section, key, kDefault);
}

TEST(ProfileReadTest, NamesMatchIgnoringCaseAndSurroundingBlanks) {
  const std::string file = "[General]\r\n  COUNT = 3 \r\n[ Padded ]\r\nx=1\r\n\t[Tab]\t\r\ny=2\r\n";
  EXPECT_EQ(get(file, "General", "Count"), "3");
  EXPECT_EQ(get(file, " general ", " count\t"), "3");
  EXPECT_EQ(get(file, "padded", "X"), "1");
  EXPECT_EQ(get(file, "TAB", "y"), "2");
}

TEST(ProfileReadTest, ValueIsTrimmedAndLosesOnePairOfMatchingQuotes) {
  const std::string file =
      "[S]\r\nspaced=  v a  \r\ndq=\"quoted\"\r\nsq='single'\r\nkept=\"inner \"\r\n"
      "mixed=\"a'\r\nlone=\"\r\nnested=\"\"x\"\"\r\nempty=\"\"\r\npadded=  ' x '  \r\n"
      "eq=a=b\r\n";
  EXPECT_EQ(get(file, "S", "spaced"), "v a");
  EXPECT_EQ(get(file, "S", "dq"), "quoted");
  EXPECT_EQ(get(file, "S", "sq"), "single");
  EXPECT_EQ(get(file, "S", "kept"), "inner ");
  EXPECT_EQ(get(file, "S", "mixed"), "\"a'");
  EXPECT_EQ(get(file, "S", "lone"), "\"");
  EXPECT_EQ(get(file, "S", "nested"), "\"x\"");
  EXPECT_EQ(get(file, "S", "empty"), "");
  EXPECT_EQ(get(file, "S", "padded"), " x ");
  EXPECT_EQ(get(file, "S", "eq"), "a=b");
}

TEST(ProfileReadTest, MissingGivesTheDefaultButEmptyIsEmpty) {
  const std::string file = "[S]\r\nempty=\r\nblank=   \r\nodd line\r\n";
  EXPECT_EQ(get(file, "S", "empty"), "");
  EXPECT_EQ(get(file, "S", "blank"), "");
  EXPECT_EQ(get(file, "S", "missing"), kDefault);
  EXPECT_EQ(get(file, "Missing", "empty"), kDefault);
  EXPECT_EQ(get(file, "S", "odd line"), kDefault);  // a line without "=" has no value
  EXPECT_EQ(get("", "S", "k"), kDefault);
  EXPECT_EQ(ProfileDocument::parse(file).getString("S", "missing", " two  words "), " two  words ");
}

TEST(ProfileReadTest, LongValuesAreCutAt1023BytesAfterTheQuotesGo) {
  const std::string longValue(2000, 'x');
  const std::string quoted = "\"" + std::string(1023, 'q') + "\"";
  const std::string file = "[S]\r\nlong=" + longValue + "\r\nquoted=" + quoted + "\r\n";
  EXPECT_EQ(get(file, "S", "long"), std::string(1023, 'x'));
  EXPECT_EQ(get(file, "S", "quoted"), std::string(1023, 'q'));
  // The cut counts file bytes: 0xE9 'é' is one byte there and two in UTF-8.
  const std::string accents = "[S]\r\nk=" + std::string(1500, '\xE9') + "\r\n";
  std::string expected;
  for (int i = 0; i < 1023; ++i) expected += "\xC3\xA9";
  EXPECT_EQ(get(accents, "S", "k"), expected);
}

TEST(ProfileReadTest, FirstOfDuplicateSectionsAndKeysCounts) {
  const std::string file =
      "[A]\r\nk=first\r\nk=second\r\n[B]\r\nb=1\r\n[a]\r\nk=third\r\nonly=4\r\n";
  EXPECT_EQ(get(file, "A", "k"), "first");
  EXPECT_EQ(get(file, "A", "only"), kDefault);  // the second [a] is never searched
}

TEST(ProfileReadTest, OddLinesReadAsTheWindowsFunctionsReadThem) {
  const std::string file =
      "top=1\r\n; note\r\n[Sec] trailing text\r\nz=3\r\n;c=5\r\n[a]b]\r\nw=4\r\n=noname\r\n"
      "[no close\r\nmac=1\rcr=2\r";
  EXPECT_EQ(get(file, "", "top"), "1");  // lines before the first header: section ""
  EXPECT_EQ(get(file, "", "; note"), kDefault);
  EXPECT_EQ(get(file, "Sec", "z"), "3");
  EXPECT_EQ(get(file, "Sec", ";c"), "5");  // no comments: ";c" is a key like any other
  EXPECT_EQ(get(file, "a]b", "w"), "4");
  EXPECT_EQ(get(file, "a]b", ""), "noname");
  EXPECT_EQ(get(file, "a]b", "[no close"), kDefault);
  EXPECT_EQ(get(file, "a]b", "cr"), "2");  // a lone CR ends a line too
}

TEST(ProfileReadTest, ALeadingByteOrderMarkIsSkippedAndNotWrittenBack) {
  const std::string file = "\xEF\xBB\xBF[General]\r\nCount=1\r\n";
  EXPECT_EQ(get(file, "General", "Count"), "1");
  ProfileDocument document = ProfileDocument::parse(file);
  EXPECT_EQ(document.bytes(), file.substr(3));
  document.setString("General", "Count", "2");
  EXPECT_EQ(document.bytes(), "[General]\r\nCount=2\r\n");
  // Only at the start, and only the whole mark.
  EXPECT_EQ(get("[S]\r\n\xEF\xBB\xBFk=1\r\n", "S", "k"), kDefault);
  EXPECT_EQ(get("\xEF\xBB[S]\r\nk=1\r\n", "S", "k"), kDefault);
  EXPECT_EQ(get("\xEF\xBB\xBFk=1\r\n", "", "k"), "1");
}

TEST(ProfileReadTest, SectionNamesComeInFileOrderWithRepeatsAndAddedSections) {
  ProfileDocument document =
      ProfileDocument::parse("top=1\r\n[ A ] note\r\n[no close\r\n[\xE9t\xE9]\r\n[a]\r\n");
  document.setString("New", "k", "v");
  EXPECT_EQ(document.sectionNames(),
            (std::vector<std::string>{"A", "\xC3\xA9t\xC3\xA9", "a", "New"}));
  EXPECT_TRUE(ProfileDocument().sectionNames().empty());
}

// The heap in use, also what lies in blocks of their own.
std::size_t heapInUse() {
  const struct mallinfo2 heap = mallinfo2();
  return heap.uordblks + heap.hblkhd;
}

// What a document holds beside its file's bytes (which it takes over): a little per section and
// key line, nothing per blank line.
TEST(ProfileReadTest, ADocumentCostsLittleBesideItsFile) {
  const std::size_t size = std::size_t{1} << 20;
  std::string entries;
  for (int n = 0; entries.size() < size; ++n) {
    entries += "[Entry_" + std::to_string(n) +
               "]\r\nDMXChannel=1\r\nData1=0\r\nData2=0\r\nMIDIMessage=144\r\nValue=127\r\n"
               "SendNoteOff=0\r\nSendOnlyOnce=0\r\nShare=0\r\nShareName=\r\nTyp=0\r\n";
  }
  std::string crLfs;
  while (crLfs.size() < size) crLfs += "\r\n";
  for (const auto& [name, bytes, most] : std::vector<std::tuple<const char*, std::string, double>>{
           {"entries", entries, 3.0},
           {"CR", "[General]\r" + std::string(size, '\r') + "Count=1", 0.01},
           {"CR LF", "[General]" + crLfs, 0.01}}) {
    std::string file = bytes;
    const std::size_t before = heapInUse();
    const ProfileDocument document = ProfileDocument::parse(std::move(file));
    const double cost = static_cast<double>(heapInUse() - before);
    EXPECT_LE(cost / static_cast<double>(bytes.size()), most) << name;
  }
}

}  // namespace
}  // namespace notecast
