// The store against the real GetPrivateProfileStringA and WritePrivateProfileStringA under wine:
// the same file, the same calls, the same results. Runs only where wine and the mingw compiler
// are installed; the Windows program (wine/profile_probe.c) is built here, at test time.
//
// Wine differs from Windows and from the store's rules in ways the cases avoid: it rewrites the
// whole file on a write (dropping blank lines, trimming lines), drops a written value's leading
// blanks, writes line breaks inside values as they are, keeps trailing blanks of new names,
// folds only ASCII letters' case, and returns 1022 bytes of a quoted value of 1023. A case with
// such lines compares the values read back, not the file's bytes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "persistence/profile/ProfileDocument.h"
#include "persistence/profile/Windows1252.h"
#include "tests/support/TempDir.h"

namespace notecast {
namespace {

constexpr const char* kCompiler = "x86_64-w64-mingw32-gcc";
constexpr const char* kDefault = "DEF";

struct Call {
  bool write;
  std::string section, key, value;  // Windows-1252 bytes
};
Call get(std::string section, std::string key) {
  return {false, section, key, kDefault};
}
Call put(std::string section, std::string key, std::string value) {
  return {true, section, key, value};
}

struct Case {
  std::optional<std::string> file;  // nothing: no file at the start
  std::vector<Call> calls;
  bool sameBytes = true;  // the file's bytes afterwards are compared too
};

bool onPath(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// The probe's field encoding: hex bytes, "!" for an empty string.
std::string hex(const std::string& bytes) {
  std::string out = bytes.empty() ? "!" : "";
  for (const unsigned char c : bytes)
    out += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
  return out;
}

// The calls of every case on one document each, as the probe reports them ("=" for empty).
std::vector<std::string> runHere(const std::vector<Case>& cases) {
  std::vector<std::string> out;
  const auto result = [](const std::string& bytes) { return bytes.empty() ? "=" : hex(bytes); };
  for (const Case& c : cases) {
    ProfileDocument document = ProfileDocument::parse(c.file.value_or(""));
    if (c.file) out.push_back("ok");
    for (const Call& call : c.calls) {
      const auto utf8 = [](const std::string& bytes) { return Windows1252::toUtf8(bytes); };
      if (call.write) {
        document.setString(utf8(call.section), utf8(call.key), utf8(call.value));
        out.push_back("1");
      } else {
        const auto value = document.getString(utf8(call.section), utf8(call.key), kDefault);
        out.push_back(result(Windows1252::fromUtf8(value)));
      }
    }
    out.push_back(!c.file && document.empty() ? "-" : c.sameBytes ? result(document.bytes()) : "");
  }
  return out;
}

std::vector<std::string> runUnderWine(const std::vector<Case>& cases, const std::string& work) {
  std::string script;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string name = "case" + std::to_string(i) + ".ini";
    std::filesystem::remove(work + "/" + name);
    const std::string file = hex(".\\" + name);
    if (cases[i].file) script += "P " + file + " " + hex(*cases[i].file) + "\n";
    for (const Call& call : cases[i].calls) {
      script += std::string(call.write ? "W " : "G ") + file + " " + hex(call.section) + " " +
                hex(call.key) + " " + hex(call.value) + "\n";
    }
    script += "F " + file + "\n";
  }
  testing::writeBytes(work + "/script.txt", script);
  const std::string run = "cd '" + work + "' && wine probe.exe script.txt > output.txt 2>/dev/null";
  EXPECT_EQ(std::system(run.c_str()), 0);
  std::vector<std::string> out;
  std::stringstream output(testing::readBytes(work + "/output.txt"));
  for (std::string line; std::getline(output, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // the probe's text-mode output
    out.push_back(line);
  }
  return out;
}

std::vector<Case> cases() {
  const std::string reads =
      "; top\r\ntop=1\r\n[General]\r\nCOUNT = 3\r\n  spaced  =  v a  \r\nq1=\"quoted\"\r\n"
      "q2='single'\r\nq3=\"mismatch'\r\neq=a=b\r\nq4=\"\r\nq5=\"\"\r\nempty=\r\nodd "
      "line\r\n;c=5\r\n"
      "dup=first\r\ndup=second\r\n[ Padded ]\r\nx=1\r\n[general]\r\nlater=2\r\n\r\n"
      "  [Indented]  \r\ny=2\r\n[Sec] trailing\r\nz=3\r\n[a]b]\r\nw=4\r\n=noname\r\n"
      "nb=\xA0v\xA0\r\ntab=\tv\t\r\nhigh=\x80\x81\x8D\x8F\x90\x9D\xFF\r\n[Mac]\rm=1\rn=a\rb\r\n";
  std::vector<Call> readCalls;
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

TEST(WineProfileTest, ReadsAndWritesAsTheWindowsFunctions) {
  if (!onPath("wine") || !onPath(kCompiler)) GTEST_SKIP() << "wine or mingw not installed";
  const std::string work = NOTECAST_WINE_WORK_DIR;
  std::filesystem::create_directories(work);
  const std::string build = std::string(kCompiler) + " -O2 -o '" + work + "/probe.exe' '" +
                            NOTECAST_PROFILE_PROBE_SOURCE + "'";
  ASSERT_EQ(std::system(build.c_str()), 0) << build;
  ::setenv("WINEPREFIX", (work + "/prefix").c_str(), 1);  // the test's own wine installation
  ::setenv("WINEDEBUG", "-all", 1);
  ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);  // no installer dialogs, no downloads
  const std::vector<Case> all = cases();
  const std::vector<std::string> wine = runUnderWine(all, work);
  std::system("wineserver -k >/dev/null 2>&1");  // the server of the test's own prefix
  const std::vector<std::string> here = runHere(all);
  ASSERT_EQ(wine.size(), here.size());
  for (std::size_t i = 0; i < here.size(); ++i) {
    if (!here[i].empty()) {
      EXPECT_EQ(here[i], wine[i]) << "result " << i;
    }
  }
}

}  // namespace
}  // namespace notecast
