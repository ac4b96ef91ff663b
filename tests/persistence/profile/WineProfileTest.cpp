// The store against the real GetPrivateProfileStringA and WritePrivateProfileStringA under wine:
// the same file, the same calls, the same results. Runs only where wine and the mingw compiler
// are installed; the Windows program (wine/profile_probe.c) is built here, at test time.
// With NOTECAST_WINE_RECORDING set to a path, it also writes wine's answers there (wine/record.sh),
// for WineProfileRecordingTest to compare the store with where wine is missing.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tests/persistence/profile/WindowsProfileCases.h"
#include "tests/persistence/profile/WindowsProfileRecording.h"
#include "tests/support/TempDir.h"

namespace notecast {
namespace {

using testing::ProfileAnswers;
using testing::ProfileCall;
using testing::ProfileCase;

constexpr const char* kCompiler = "x86_64-w64-mingw32-gcc";

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

std::string fromHex(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2)
    out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
  return out;
}

// One line of the probe's output in the cases' notation: its strings come in hex, "=" when empty,
// "-" for no file; a write's result as it is.
std::string answer(const std::string& line, bool write) {
  if (write || line == "-") return line == "-" ? testing::kNoFile : line;
  return testing::quoted(line == "=" ? "" : fromHex(line));
}

std::vector<std::string> outputLines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream output(text);
  for (std::string line; std::getline(output, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // the probe's text-mode output
    lines.push_back(line);
  }
  return lines;
}

std::vector<ProfileAnswers> runUnderWine(const std::vector<ProfileCase>& cases,
                                         const std::string& work) {
  std::string script;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const std::string name = "case" + std::to_string(i) + ".ini";
    std::filesystem::remove(work + "/" + name);
    const std::string file = hex(".\\" + name);
    if (cases[i].file) script += "P " + file + " " + hex(*cases[i].file) + "\n";
    for (const ProfileCall& call : cases[i].calls) {
      script += std::string(call.write ? "W " : "G ") + file + " " + hex(call.section) + " " +
                hex(call.key) + " " + hex(call.value) + "\n";
    }
    script += "F " + file + "\n";
  }
  testing::writeBytes(work + "/script.txt", script);
  const std::string run = "cd '" + work + "' && wine probe.exe script.txt > output.txt 2>/dev/null";
  EXPECT_EQ(std::system(run.c_str()), 0);
  const std::vector<std::string> lines = outputLines(testing::readBytes(work + "/output.txt"));
  std::vector<ProfileAnswers> all;
  std::size_t next = 0;
  const auto line = [&] { return next < lines.size() ? lines[next++] : "(no answer)"; };
  for (const ProfileCase& c : cases) {
    if (c.file) {
      EXPECT_EQ(line(), "ok") << "the probe could not write a case's file";
    }
    ProfileAnswers answers;
    for (const ProfileCall& call : c.calls) answers.push_back(answer(line(), call.write));
    answers.push_back(answer(line(), false));
    all.push_back(std::move(answers));
  }
  EXPECT_EQ(next, lines.size()) << "the probe answered more than it was asked";
  return all;
}

std::string wineVersion() {
  std::string version;
  if (FILE* out = ::popen("wine --version 2>/dev/null", "r")) {
    for (int c; (c = std::fgetc(out)) != EOF && c != '\n';) version += static_cast<char>(c);
    ::pclose(out);
  }
  return version.empty() ? "wine" : version;
}

void record(const std::string& path, const std::vector<ProfileCase>& cases,
            const std::vector<ProfileAnswers>& wine) {
  const std::vector<std::string> header = {
      "What the Windows profile functions answered under " + wineVersion() + ", asked by",
      "wine/profile_probe.c built with mingw, to the calls of WindowsProfileCases.cpp.",
      "WineProfileRecordingTest compares the store with it. Do not edit: re-record with",
      "tests/persistence/profile/wine/record.sh where wine and mingw are installed.",
      "",
      "case N FILE [values-only]         the file's bytes at the start, or none (no file)",
      "get SECTION KEY DEFAULT -> VALUE  GetPrivateProfileStringA, with a 1024-byte buffer",
      "put SECTION KEY VALUE -> RESULT   WritePrivateProfileStringA",
      "end -> FILE                       the file's bytes after the calls, or none;",
      "                                  not compared in a values-only case",
      "Strings are Windows-1252 bytes in double quotes, with \\\" \\\\ \\r \\n \\t and",
      "\\xNN (two hex digits) for the bytes other than printable ASCII; \\{N} before a",
      "byte stands for N of it.",
  };
  testing::writeProfileRecording(path, header, {cases, wine});
}

TEST(WineProfileTest, ReadsAndWritesAsTheWindowsFunctions) {
  const char* recording = std::getenv("NOTECAST_WINE_RECORDING");
  if (!onPath("wine") || !onPath(kCompiler)) {
    // A recording asked for must not pass unrecorded.
    if (recording) FAIL() << "wine or mingw not installed: nothing recorded";
    GTEST_SKIP() << "wine or mingw not installed";
  }
  const std::string work = NOTECAST_WINE_WORK_DIR;
  std::filesystem::create_directories(work);
  const std::string build = std::string(kCompiler) + " -O2 -o '" + work + "/probe.exe' '" +
                            NOTECAST_PROFILE_PROBE_SOURCE + "'";
  ASSERT_EQ(std::system(build.c_str()), 0) << build;
  ::setenv("WINEPREFIX", (work + "/prefix").c_str(), 1);  // the test's own wine installation
  ::setenv("WINEDEBUG", "-all", 1);
  ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);  // no installer dialogs, no downloads
  const std::vector<ProfileCase> cases = testing::windowsProfileCases();
  const std::vector<ProfileAnswers> wine = runUnderWine(cases, work);
  std::system("wineserver -k >/dev/null 2>&1");  // the server of the test's own prefix
  if (recording && !HasFailure()) record(recording, cases, wine);
  testing::expectStoreAnswersAs(cases, wine);
}

}  // namespace
}  // namespace notecast
