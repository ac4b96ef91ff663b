// Arbitrary file bytes into the profile store, then reads and writes of names and values taken
// from the input, then the file's bytes again. Checks what callers rely on: an untouched file
// keeps its bytes (all but a leading byte-order mark, which is no line's), a value written reads
// back as reads give it, and the saved bytes read back the same.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "persistence/profile/ProfileDocument.h"
#include "persistence/profile/ProfileLine.h"
#include "persistence/profile/Windows1252.h"

namespace {

using notecast::ProfileDocument;
using notecast::ProfileLine;
using notecast::Windows1252;

constexpr std::size_t kMaxOperations = 64;
constexpr std::size_t kMaxNameBytes = 16;
constexpr char kDefault[] = "\x01no value";

// Names that cannot mean anything else in a line ('=', ']', ';' or blanks would): the written
// key is then certainly found again.
bool plainName(const std::string& name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
  });
}

// Text as the file holds it: Windows-1252, line breaks as blanks, trimmed. Names are looked up
// this way too, so "key\t" and " key" name the key "key".
std::string fileText(const std::string& text) {
  std::string bytes = Windows1252::fromUtf8(text);
  std::replace_if(
      bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return std::string(ProfileLine::trim(bytes));
}

// What a read gives for a written value: its file text, one pair of matching quotes removed, cut
// at the read buffer's size.
std::string readBack(const std::string& value) {
  const std::string bytes = fileText(value);
  std::string_view text = bytes;
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
      text.back() == text.front())
    text = text.substr(1, text.size() - 2);
  text = text.substr(0, std::min(text.size(), ProfileDocument::kMaxValueBytes));
  return Windows1252::toUtf8(text);
}

// The bytes a parsed file gives back: all but a leading byte-order mark.
std::string withoutByteOrderMark(const std::string& bytes) {
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  return bytes.compare(0, kMark.size(), kMark) == 0 ? bytes.substr(kMark.size()) : bytes;
}

// A broken promise: says which, then stops as a crash does, so libFuzzer keeps the input.
void check(bool condition, int line = __builtin_LINE()) {
  if (condition) return;
  std::fprintf(stderr, "%s:%d: check failed\n", __FILE__, line);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string file = input.ConsumeRandomLengthString();
  ProfileDocument document = ProfileDocument::parse(file);
  check(document.bytes() == withoutByteOrderMark(file));

  // (section, key) in upper case -> the value last written there.
  std::map<std::pair<std::string, std::string>, std::string> written;
  bool oddNames = false;
  for (std::size_t n = 0; n < kMaxOperations && input.remaining_bytes() > 0; ++n) {
    const bool write = input.ConsumeBool();
    const std::string section = input.ConsumeRandomLengthString(kMaxNameBytes);
    const std::string key = input.ConsumeRandomLengthString(kMaxNameBytes);
    if (!write) {
      (void)document.getString(section, key, kDefault);
      continue;
    }
    const std::string value = input.ConsumeRandomLengthString();
    document.setString(section, key, value);
    if (!plainName(fileText(section)) || !plainName(fileText(key))) {
      // A key such as "[a" or "a=b" makes a line that the next read of the file takes for
      // something else (a section header, another key), which may then hide the keys written
      // after it. The document keeps it as written until then, as the Windows functions do.
      oddNames = true;
      continue;
    }
    check(document.getString(section, key, kDefault) == readBack(value));
    std::string upperSection = fileText(section), upperKey = fileText(key);
    for (char& c : upperSection) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (char& c : upperKey) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    written[{upperSection, upperKey}] = readBack(value);
  }

  const std::string saved = document.bytes();
  const ProfileDocument reloaded = ProfileDocument::parse(saved);
  check(reloaded.bytes() == withoutByteOrderMark(saved));
  for (const auto& [name, value] : written) {
    check(document.getString(name.first, name.second, kDefault) == value);
    if (!oddNames) check(reloaded.getString(name.first, name.second, kDefault) == value);
  }
  return 0;
}
