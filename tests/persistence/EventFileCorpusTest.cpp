// The event file against a corpus of bad files (corpus/, written by corpus/make-corpus.py): each
// loads without crash or hang into the table expected.txt names, compares as it says, and saves to
// a copy that loads back to the same table. Plus what cannot be kept in a repository: a directory
// and a fifo where the file should be.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include "abi/RuntimeError.h"
#include "os/FileSaveError.h"
#include "persistence/EventFile.h"
#include "tests/support/TempDir.h"

namespace notecast {
namespace {

const std::string kCorpus = NOTECAST_EVENT_CORPUS_DIR;

// One line of expected.txt.
struct CorpusCase {
  std::string file;
  std::size_t entries = 0;
  std::string compare;  // same, changed or 13
  std::string saved;    // same or changed
  std::vector<std::string> checks;
};

std::string percentDecoded(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<CorpusCase> corpusCases() {
  std::vector<CorpusCase> cases;
  std::ifstream table(kCorpus + "/expected.txt");
  std::string line;
  while (std::getline(table, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    CorpusCase item;
    words >> item.file >> item.entries >> item.compare >> item.saved;
    for (std::string check; words >> check;) item.checks.push_back(percentDecoded(check));
    cases.push_back(std::move(item));
  }
  return cases;
}

// What comparing gives: "same", "changed", or the number of the error it throws.
std::string comparison(const EventFile& file, const std::string& device, const EventTable& table) {
  try {
    return file.isModified(device, table) ? "changed" : "same";
  } catch (const RuntimeError& error) {
    return std::to_string(error.number());
  }
}

EventTable tableOf(const std::vector<MidiEvent>& records) {
  EventTable table;
  table.assign(records);
  return table;
}

std::int32_t fieldNamed(const MidiEvent& event, const std::string& name) {
  const std::pair<const char*, std::int32_t> fields[] = {{"DMXChannel", event.DMXChannel},
                                                         {"Data1", event.Data1},
                                                         {"Data2", event.Data2},
                                                         {"MIDIMessage", event.MIDIMessage},
                                                         {"Value", event.Value},
                                                         {"SendNoteOff", event.SendNoteOff},
                                                         {"SendOnlyOnce", event.SendOnlyOnce},
                                                         {"Share", event.Share},
                                                         {"Typ", event.Typ}};
  for (const auto& [fieldName, value] : fields)
    if (name == fieldName) return value;
  ADD_FAILURE() << "no field " << name;
  return 0;
}

// device=text, or n.Key=value for entry n.
void expectCheck(const EventFile::Contents& contents, const std::string& check) {
  const auto equals = check.find('=');
  ASSERT_NE(equals, std::string::npos) << check;
  const std::string target = check.substr(0, equals), expected = check.substr(equals + 1);
  if (target == "device") {
    EXPECT_EQ(contents.deviceName, expected);
    return;
  }
  const auto dot = target.find('.');
  ASSERT_NE(dot, std::string::npos) << check;
  const auto index = std::stoul(target.substr(0, dot));
  const std::string key = target.substr(dot + 1);
  ASSERT_LT(index, contents.records.size()) << check;
  const MidiEvent& event = contents.records[index];
  if (key == "ShareName")
    EXPECT_EQ(event.ShareName, expected) << check;
  else
    EXPECT_EQ(fieldNamed(event, key), std::stol(expected)) << check;
}

// The records without their share names, which a save may change (blanks and quotes around them).
std::vector<MidiEvent> withoutShareNames(std::vector<MidiEvent> records) {
  for (MidiEvent& event : records) event.ShareName.clear();
  return records;
}

class EventFileCorpusTest : public ::testing::TestWithParam<CorpusCase> {
 protected:
  testing::TempDir dir_;
};

TEST_P(EventFileCorpusTest, LoadsComparesAndSavesAsExpected) {
  const CorpusCase& item = GetParam();
  const EventFile original(kCorpus + "/" + item.file);

  const EventFile::Contents contents = original.load();
  ASSERT_EQ(contents.records.size(), item.entries);
  for (const std::string& check : item.checks) expectCheck(contents, check);
  const EventTable table = tableOf(contents.records);
  EXPECT_EQ(comparison(original, contents.deviceName, table), item.compare);

  const EventFile copy(dir_.file("copy.Notecast"));
  copy.save(contents.deviceName, table);
  const EventFile::Contents reloaded = copy.load();
  EXPECT_EQ(reloaded.deviceName, contents.deviceName);
  ASSERT_EQ(reloaded.records.size(), contents.records.size());
  EXPECT_EQ(comparison(copy, contents.deviceName, table), item.saved);
  if (item.saved == "same") {
    EXPECT_TRUE(reloaded.records == contents.records);
  } else {
    // Only share names may differ; the saved table is stable from then on.
    EXPECT_TRUE(withoutShareNames(reloaded.records) == withoutShareNames(contents.records));
    const EventTable reloadedTable = tableOf(reloaded.records);
    copy.save(reloaded.deviceName, reloadedTable);
    EXPECT_EQ(comparison(copy, reloaded.deviceName, reloadedTable), "same");
    EXPECT_TRUE(copy.load().records == reloaded.records);
  }
}

INSTANTIATE_TEST_SUITE_P(Corpus, EventFileCorpusTest, ::testing::ValuesIn(corpusCases()),
                         [](const ::testing::TestParamInfo<CorpusCase>& info) {
                           std::string name = info.param.file.substr(0, info.param.file.find('.'));
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(EventFileCorpus, HoldsAtLeastAHundredFiles) {
  EXPECT_GE(corpusCases().size(), 100u);
}

// Something that is not a file where the file should be: loads as no file (defaults), compares
// unchanged with that, and is neither replaced nor read by a save. A fifo must not block the load
// (waiting for a writer that never comes).
class NotAFileTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (std::string(GetParam()) == "directory")
      std::filesystem::create_directory(path_);
    else
      ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0);
  }
  // Runs call without letting a blocked open hang the test: after a timeout a writer opens the
  // fifo, which releases a reader waiting in open().
  template <class Call>
  auto withinSeconds(Call call) {
    auto result = std::async(std::launch::async, call);
    if (result.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
      ADD_FAILURE() << "blocked on " << path_;
      const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) ::close(fd);
    }
    return result.get();
  }

  testing::TempDir dir_;
  std::string path_ = dir_.file("show.Notecast");
  EventFile file_{path_};
};

TEST_P(NotAFileTest, LoadsDefaultsAndRefusesTheSave) {
  const EventFile::Contents contents = withinSeconds([&] { return file_.load(); });
  EXPECT_EQ(contents.deviceName, "");
  ASSERT_EQ(contents.records.size(), 1u);
  EXPECT_EQ(contents.records[0], MidiEvent::added());
  const EventTable table = tableOf(contents.records);
  EXPECT_EQ(withinSeconds([&] { return comparison(file_, "", table); }), "same");
  EXPECT_THROW(withinSeconds([&] { file_.save("Synth", table); }), FileSaveError);
  struct stat status {};
  ASSERT_EQ(::stat(path_.c_str(), &status), 0);
  EXPECT_TRUE(std::string(GetParam()) == "directory" ? S_ISDIR(status.st_mode)
                                                     : S_ISFIFO(status.st_mode));
}

INSTANTIATE_TEST_SUITE_P(Kinds, NotAFileTest, ::testing::Values("directory", "fifo"));

}  // namespace
}  // namespace notecast
