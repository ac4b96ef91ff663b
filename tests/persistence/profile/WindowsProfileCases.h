#pragma once
// The calls on which the store is compared with the Windows profile functions, live under wine
// (WineProfileTest) and against wine's recorded answers (WineProfileRecordingTest): one list, so
// the two comparisons and the recording cannot drift apart.
//
// Answers are written in the recording's notation, so a difference reads as text: a value or a
// file's bytes as quoted() gives them, a write's result as "1" or "0", no file as "none".

#include <optional>
#include <string>
#include <vector>

namespace notecast::testing {

// The default every read passes.
inline constexpr const char* kProfileDefault = "DEF";
inline constexpr const char* kNoFile = "none";

struct ProfileCall {
  bool write = false;
  std::string section, key, value;  // Windows-1252 bytes; a read's value is its default

  bool operator==(const ProfileCall&) const = default;
};

struct ProfileCase {
  std::optional<std::string> file;  // nothing: no file at the start
  std::vector<ProfileCall> calls;
  bool sameBytes = true;  // the file's bytes afterwards are compared too

  bool operator==(const ProfileCase&) const = default;
};

// One case's answers: one a call, then the file's bytes after the calls.
using ProfileAnswers = std::vector<std::string>;

std::vector<ProfileCase> windowsProfileCases();

// Bytes in double quotes: printable ASCII as it is, \" \\ \r \n \t, and \xNN (always two hex
// digits) for every other byte; \{N} before a byte stands for N of it (runs of 16 and more).
std::string quoted(const std::string& bytes);

// What the store answers to each case, each on a document of its own.
std::vector<ProfileAnswers> storeAnswers(const std::vector<ProfileCase>& cases);

// Expects the store to answer every case as the Windows functions did (windows: one entry a case).
void expectStoreAnswersAs(const std::vector<ProfileCase>& cases,
                          const std::vector<ProfileAnswers>& windows);

}  // namespace notecast::testing
