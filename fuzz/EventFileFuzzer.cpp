// Arbitrary bytes as an event file: loaded, compared with its own table, saved and loaded again.
// Checks that nothing crashes, that the comparison fails only with the type-mismatch error a
// stored non-number gives, and that a save loads back to the same table (share and device names
// as a read gives them: trimmed, unquoted, cut) which then compares as unmodified.

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "abi/RuntimeError.h"
#include "engine/EventTable.h"
#include "persistence/EventFile.h"
#include "persistence/profile/ProfileDocument.h"

namespace {

using notecast::EventFile;
using notecast::EventTable;
using notecast::ProfileDocument;

// A broken promise: says which, then stops as a crash does, so libFuzzer keeps the input.
void check(bool condition, int line = __builtin_LINE()) {
  if (condition) return;
  std::fprintf(stderr, "%s:%d: check failed\n", __FILE__, line);
  std::abort();
}

// A directory of the input's own, removed when it goes: libFuzzer ends without running exit
// handlers. In memory where the system has a memory file system: every save waits for the disk
// (fsync) otherwise, which makes the runs a hundred times slower.
class WorkDirectory {
 public:
  WorkDirectory() {
    path_ = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    path_ += "/notecast-fuzz-event-XXXXXX";
    check(::mkdtemp(path_.data()) != nullptr);
  }
  ~WorkDirectory() { std::filesystem::remove_all(path_); }
  WorkDirectory(const WorkDirectory&) = delete;
  WorkDirectory& operator=(const WorkDirectory&) = delete;

  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A name as reading it back from a file gives it.
std::string readBack(const std::string& name) {
  ProfileDocument document;
  document.setString("s", "k", name);
  return document.getString("s", "k", "");
}

// Device names are kept whole (UTF-8 where the code page lacks a character).
std::string readBackWhole(const std::string& name) {
  ProfileDocument document;
  document.setWholeText("s", "k", name);
  return document.getWholeText("s", "k", "");
}

// Device names also lose their spaces on save and load.
std::string trimSpaces(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const WorkDirectory directory;
  const std::string input = directory.file("input.Notecast");
  const std::string saved = directory.file("saved.Notecast");
  std::ofstream(input, std::ios::binary).write(reinterpret_cast<const char*>(data), size);

  const EventFile::Contents loaded = EventFile(input).load();
  check(!loaded.records.empty() && loaded.records.size() <= EventTable::kMaxRecords);
  EventTable table;
  table.assign(loaded.records);
  try {
    (void)EventFile(input).isModified(loaded.deviceName, table);
  } catch (const notecast::RuntimeError& error) {
    check(error.number() == static_cast<std::int32_t>(notecast::ErrorNumber::TypeMismatch));
  }

  const EventFile savedFile(saved);
  savedFile.save(loaded.deviceName, table);
  const EventFile::Contents reloaded = savedFile.load();
  check(reloaded.deviceName == trimSpaces(readBackWhole(loaded.deviceName)));
  check(reloaded.records.size() == loaded.records.size());
  for (std::size_t n = 0; n < loaded.records.size(); ++n) {
    notecast::MidiEvent expected = loaded.records[n];
    expected.ShareName = readBack(expected.ShareName);
    check(reloaded.records[n] == expected);
  }
  EventTable reloadedTable;
  reloadedTable.assign(reloaded.records);
  check(!savedFile.isModified(reloaded.deviceName, reloadedTable));
  return 0;
}
