#include "tests/persistence/profile/WindowsProfileRecording.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace notecast::testing {
namespace {

constexpr const char* kArrow = "->";
constexpr const char* kValuesOnly = "values-only";

struct Token {
  bool quoted = false;
  std::string text;  // a quoted token's bytes, without quotes and escapes
};

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One byte of a quoted string from line[at], an escape or not; leaves at after it.
char quotedByte(const std::string& line, std::size_t& at) {
  if (line[at] != '\\') return line[at++];
  if (at + 1 == line.size()) throw std::runtime_error("a \\ at the end of the line");
  const char escaped = line[at + 1];
  at += 2;
  if (escaped == 'r') return '\r';
  if (escaped == 'n') return '\n';
  if (escaped == 't') return '\t';
  if (escaped != 'x') return escaped;
  const int high = at + 1 < line.size() ? hexDigit(line[at]) : -1;
  const int low = high < 0 ? -1 : hexDigit(line[at + 1]);
  if (low < 0) throw std::runtime_error("\\x without two hex digits");
  at += 2;
  return static_cast<char>(high * 16 + low);
}

// The inverse of quoted(), from the opening quote at line[at]; leaves at after the closing one.
std::string unquoted(const std::string& line, std::size_t& at) {
  std::string out;
  ++at;
  while (at < line.size() && line[at] != '"') {
    std::size_t count = 1;
    if (line.compare(at, 2, "\\{") == 0) {
      const std::size_t end = line.find('}', at);
      if (end == std::string::npos || end + 1 >= line.size())
        throw std::runtime_error("\\{ without its count and byte");
      count = std::stoul(line.substr(at + 2, end - at - 2));
      at = end + 1;
    }
    out.append(count, quotedByte(line, at));
  }
  if (at >= line.size()) throw std::runtime_error("a quote without its end");
  ++at;
  return out;
}

std::vector<Token> tokens(const std::string& line) {
  std::vector<Token> out;
  std::size_t at = 0;
  while (at < line.size()) {
    if (line[at] == ' ') {
      ++at;
    } else if (line[at] == '"') {
      out.push_back({true, unquoted(line, at)});
    } else {
      const std::size_t end = std::min(line.find(' ', at), line.size());
      out.push_back({false, line.substr(at, end - at)});
      at = end;
    }
  }
  return out;
}

// An answer as the cases' notation writes it.
std::string answer(const Token& token) {
  return token.quoted ? quoted(token.text) : token.text;
}

// Adds one line's case, call or end to the recording.
void addLine(const std::vector<Token>& words, ProfileRecording& recording, bool& open) {
  const std::string& verb = words.front().text;
  if (verb == "case") {
    const bool valid = !open && (words.size() == 3 || words.size() == 4) &&
                       words[1].text == std::to_string(recording.cases.size()) &&
                       (words[2].quoted || words[2].text == kNoFile) &&
                       (words.size() == 3 || words[3].text == kValuesOnly);
    if (!valid)
      throw std::runtime_error("expected: case " + std::to_string(recording.cases.size()) +
                               " FILE [values-only], after the previous case's end");
    ProfileCase& added = recording.cases.emplace_back();
    if (words[2].quoted) added.file = words[2].text;
    added.sameBytes = words.size() == 3;
    recording.answers.emplace_back();
    open = true;
  } else if (verb == "get" || verb == "put") {
    if (!open || words.size() != 6 || !words[1].quoted || !words[2].quoted || !words[3].quoted ||
        words[4].quoted || words[4].text != kArrow)
      throw std::runtime_error("expected: " + verb + " \"..\" \"..\" \"..\" -> ANSWER in a case");
    recording.cases.back().calls.push_back(
        {verb == "put", words[1].text, words[2].text, words[3].text});
    recording.answers.back().push_back(answer(words[5]));
  } else if (verb == "end") {
    if (!open || words.size() != 3 || words[1].text != kArrow)
      throw std::runtime_error("expected: end -> FILE, in a case");
    recording.answers.back().push_back(answer(words[2]));
    open = false;
  } else {
    throw std::runtime_error("unknown line");
  }
}

}  // namespace

void writeProfileRecording(const std::string& path, const std::vector<std::string>& header,
                           const ProfileRecording& recording) {
  std::ofstream out(path, std::ios::binary);
  for (const std::string& line : header) out << "#" << (line.empty() ? "" : " ") << line << "\n";
  for (std::size_t i = 0; i < recording.cases.size(); ++i) {
    const ProfileCase& c = recording.cases[i];
    const ProfileAnswers& answers = recording.answers.at(i);
    out << "case " << i << " " << (c.file ? quoted(*c.file) : kNoFile)
        << (c.sameBytes ? "" : std::string(" ") + kValuesOnly) << "\n";
    for (std::size_t j = 0; j < c.calls.size(); ++j) {
      const ProfileCall& call = c.calls[j];
      out << (call.write ? "put " : "get ") << quoted(call.section) << " " << quoted(call.key)
          << " " << quoted(call.value) << " " << kArrow << " " << answers.at(j) << "\n";
    }
    out << "end " << kArrow << " " << answers.at(c.calls.size()) << "\n";
  }
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

ProfileRecording readProfileRecording(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  ProfileRecording recording;
  bool open = false;  // a case whose end has not come yet
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    try {
      const std::vector<Token> words = tokens(line);
      if (!words.empty()) addLine(words, recording, open);
    } catch (const std::exception& error) {
      throw std::runtime_error(path + ":" + std::to_string(number) + ": " + error.what());
    }
  }
  if (open) throw std::runtime_error(path + ": the last case has no end");
  return recording;
}

}  // namespace notecast::testing
