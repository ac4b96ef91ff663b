#include "tests/persistence/profile/WindowsProfileCases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "persistence/profile/ProfileDocument.h"
#include "persistence/profile/Windows1252.h"

namespace notecast::testing {
namespace {

// Runs at least this long are written as one count and the byte: the long values stay readable.
constexpr std::size_t kMinRun = 16;

ProfileCall get(std::string section, std::string key) {
  return {false, std::move(section), std::move(key), kProfileDefault};
}
ProfileCall put(std::string section, std::string key, std::string value) {
  return {true, std::move(section), std::move(key), std::move(value)};
}

std::string described(const ProfileCall& call) {
  return std::string(call.write ? "put " : "get ") + quoted(call.section) + " " + quoted(call.key) +
         " " + quoted(call.value);
}

}  // namespace

// Wine differs from Windows and from the store's rules in ways the cases avoid: it rewrites the
// whole file on a write (dropping blank lines, trimming lines), drops a written value's leading
// blanks, writes line breaks inside values as they are, keeps trailing blanks of new names,
// folds only ASCII letters' case, and returns 1022 bytes of a quoted value of 1023. A case with
// such lines compares the values read back, not the file's bytes.
std::vector<ProfileCase> windowsProfileCases() {
  const std::string reads =
      "; top\r\ntop=1\r\n[General]\r\nCOUNT = 3\r\n  spaced  =  v a  \r\nq1=\"quoted\"\r\n"
      "q2='single'\r\nq3=\"mismatch'\r\neq=a=b\r\nq4=\"\r\nq5=\"\"\r\nempty=\r\nodd "
      "line\r\n;c=5\r\n"
      "dup=first\r\ndup=second\r\n[ Padded ]\r\nx=1\r\n[general]\r\nlater=2\r\n\r\n"
      "  [Indented]  \r\ny=2\r\n[Sec] trailing\r\nz=3\r\n[a]b]\r\nw=4\r\n=noname\r\n"
      "nb=\xA0v\xA0\r\ntab=\tv\t\r\nhigh=\x80\x81\x8D\x8F\x90\x9D\xFF\r\n[Mac]\rm=1\rn=a\rb\r\n";
  std::vector<ProfileCall> readCalls;
  for (const auto& [section, key] :
       std::vector<std::pair<std::string, std::string>>{{"General", "count"},
                                                        {" general ", "Count "},
                                                        {"General", "spaced"},
                                                        {"General", "q1"},
                                                        {"General", "q2"},
                                                        {"General", "q3"},
                                                        {"General", "eq"},
                                                        {"General", "q4"},
                                                        {"General", "q5"},
                                                        {"General", "empty"},
                                                        {"General", "odd line"},
                                                        {"General", ";c"},
                                                        {"General", "dup"},
                                                        {"General", "later"},
                                                        {"Padded", "x"},
                                                        {"Indented", "y"},
                                                        {"Sec", "z"},
                                                        {"a]b", "w"},
                                                        {"a]b", ""},
                                                        {"", "top"},
                                                        {"", "; top"},
                                                        {"a]b", "nb"},
                                                        {"a]b", "tab"},
                                                        {"a]b", "high"},
                                                        {"Mac", "m"},
                                                        {"Mac", "n"},
                                                        {"Mac", "b"},
                                                        {"Missing", "k"}})
    readCalls.push_back(get(section, key));
  const std::string lengths = "[L]\r\nlong=" + std::string(2000, 'L') + "\r\nq=\"" +
                              std::string(1022, 'q') + "\"\r\nr=\"" + std::string(1500, 'r') +
                              "\"\r\n";
  const std::string canonical = "[General]\r\nCount=3\r\nName=x\r\n[Entry_0]\r\nData1=1\r\n";
  return {
      {reads, readCalls},
      {lengths, {get("L", "long"), get("L", "q"), get("L", "r")}},
      {std::nullopt, {get("S", "k")}},
      {canonical, {put("general", "COUNT", "5"), put("General", "Name", "x")}},
      {canonical, {put("General", "New", "n"), put("entry_0", "Data2", ""), put("E", "k", "7 ")}},
      {"[A]\r\n  COUNT = 3 \r\nodd line\r\n;c=1\r\n",
       {put("A", "count", "5"), put("A", "odd line", "o")}},
      {"[A]\r\nk=1\r\nk=2\r\n[B]\r\n[a]\r\nm=3\r\n", {put("A", "k", "9"), put("a", "m", "4")}},
      {"[A]\r\nx=1", {put("A", "y", "2"), put("B", "z", "3")}},
      {"top=1\r\n[A]\r\n", {put("", "top", "2"), put("", "n", "3")}},
      {canonical, {put("\xC4rger", "\x80\x81", "\x9D\xFF\xE9"), get("\xC4rger", "\x80\x81")}},
      {std::nullopt,
       {put("General", "Count", "2"), put("Entry_0", "DMXChannel", "1"),
        put("Entry_0", "ShareName", ""), put("Entry_1", "DMXChannel", "2"),
        put("General", "MIDIOutputDevice", "Notecast virtual output"),
        put("entry_0", "dmxchannel", "5")}},
      {"; head\r\n\r\n[A]\r\n  x = 1  \r\n; note\r\n\r\n\r\n[B]\r\ny=2\r\n",
       {put("A", "x", "9"), put("A", "n", "v"), put("B", "y", "3"), get("A", "x"), get("A", "n"),
        get("A", "; note"), get("B", "y")},
       false},
  };
}

std::string quoted(const std::string& bytes) {
  std::string out = "\"";
  for (std::size_t at = 0; at < bytes.size();) {
    const unsigned char c = bytes[at];
    const std::size_t run = std::min(bytes.find_first_not_of(bytes[at], at), bytes.size()) - at;
    if (run >= kMinRun) out += "\\{" + std::to_string(run) + "}";
    at += run >= kMinRun ? run : 1;
    if (c == '"' || c == '\\') {
      out += {'\\', static_cast<char>(c)};
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += {'\\', 'x', "0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
    }
  }
  return out + "\"";
}

std::vector<ProfileAnswers> storeAnswers(const std::vector<ProfileCase>& cases) {
  const auto utf8 = [](const std::string& bytes) { return Windows1252::toUtf8(bytes); };
  std::vector<ProfileAnswers> all;
  for (const ProfileCase& c : cases) {
    ProfileDocument document = ProfileDocument::parse(c.file.value_or(""));
    ProfileAnswers answers;
    for (const ProfileCall& call : c.calls) {
      if (call.write) {
        // WritePrivateProfileStringA succeeds even where the value was already there.
        document.setString(utf8(call.section), utf8(call.key), utf8(call.value));
        answers.emplace_back("1");
      } else {
        const std::string value =
            document.getString(utf8(call.section), utf8(call.key), utf8(call.value));
        answers.push_back(quoted(Windows1252::fromUtf8(value)));
      }
    }
    // No file at the start and nothing written: the functions never create one.
    answers.push_back(!c.file && document.empty() ? kNoFile : quoted(document.bytes()));
    all.push_back(std::move(answers));
  }
  return all;
}

void expectStoreAnswersAs(const std::vector<ProfileCase>& cases,
                          const std::vector<ProfileAnswers>& windows) {
  const std::vector<ProfileAnswers> store = storeAnswers(cases);
  ASSERT_EQ(windows.size(), cases.size()) << "one set of answers a case";
  // The answers are already in the notation: printed as they are, not escaped once more.
  const auto expectSame = [](const std::string& here, const std::string& there,
                             const std::string& what) {
    if (here != there) ADD_FAILURE() << what << "\n  store:   " << here << "\n  windows: " << there;
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::vector<ProfileCall>& calls = cases[i].calls;
    ASSERT_EQ(windows[i].size(), calls.size() + 1) << "case " << i << ": one answer a call";
    const std::string name = "case " + std::to_string(i) + ": ";
    for (std::size_t j = 0; j < calls.size(); ++j)
      expectSame(store[i][j], windows[i][j], name + described(calls[j]));
    if (cases[i].sameBytes) expectSame(store[i].back(), windows[i].back(), name + "the file after");
  }
}

}  // namespace notecast::testing
