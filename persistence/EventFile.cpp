#include "persistence/EventFile.h"

#include "abi/TextCompare.h"

#include <algorithm>

#include "abi/Boundary.h"
#include "abi/RuntimeError.h"
#include "os/NumberText.h"
#include "persistence/EventFileKeys.h"
#include "persistence/EventFileSaveCheck.h"
#include "persistence/clsIni.h"

namespace notecast {
namespace {

using namespace event_file;

// Device names lose leading and trailing spaces (only spaces), as they always have.
std::string trimSpaces(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string entrySection(std::int32_t index) {
  return kEntryPrefix + std::to_string(index);
}

// The keys of an entry section in file order, each read or written by `visit`.
template <class NumericVisit, class NameVisit>
void forEachEntryKey(NumericVisit&& numeric, NameVisit&& name) {
  for (const NumericKey& key : kNumericKeysBeforeName) numeric(key);
  name();
  numeric(kTyp);
}

// A stored number compared with a field: numbers as numbers ("0144" equals 144); a value that is
// not a number cannot be compared at all.
bool differsAsNumber(const std::string& stored, std::int32_t field) {
  const auto number = parseDecimal(stored);
  if (!number) throw RuntimeError(ErrorNumber::TypeMismatch);
  return *number != static_cast<double>(field);
}

}  // namespace

EventFile::EventFile(std::string path) : path_(std::move(path)) {}

EventFile::Contents EventFile::load() const {
  clsIni ini;
  ini.setFileName(path_);
  Contents contents;
  runStep([&] { contents.deviceName = trimSpaces(ini.getWholeText(kGeneral, kDevice, "")); });
  std::int32_t count = 0;
  runStep([&] { count = highestLoadedEntry(ini.GetIni(kGeneral, kCount, "0")); });
  contents.records.assign(static_cast<std::size_t>(count) + 1, MidiEvent::blank());
  for (std::int32_t n = 0; n <= count; ++n) {
    MidiEvent& event = contents.records[static_cast<std::size_t>(n)];
    const std::string section = entrySection(n);
    forEachEntryKey(
        [&](const NumericKey& key) {
          runStep([&] {
            const std::string text =
                ini.GetIni(section, key.name, std::to_string(key.defaultValue));
            event.*memberOf(key.field) = toInt32(text);
          });
        },
        [&] { runStep([&] { event.ShareName = ini.GetIni(section, kShareName, ""); }); });
  }
  return contents;
}

std::int32_t EventFile::highestLoadedEntry(const std::string& countText) noexcept {
  std::int32_t count = 0;
  runStep([&] { count = toInt32(countText); });
  return std::clamp(count, 0, EventTable::kMaxRecords - 1);
}

void EventFile::save(const std::string& deviceText, const EventTable& table) const {
  checkEventFileReplace(path_);
  clsIni ini;
  ini.setFileName(path_);
  ini.Reset();
  ini.SaveIni(kGeneral, kWarning, kWarningText);
  // Output names come from the MIDI system and may hold any character: kept whole, so the
  // output is found again.
  ini.saveWholeText(kGeneral, kDevice, trimSpaces(deviceText));
  const std::int32_t highest = table.GetEventCount();
  ini.SaveIni(kGeneral, kCount, std::to_string(highest));
  for (std::int32_t n = 0; n <= highest; ++n) {
    const MidiEvent& event = table.record(n);
    const std::string section = entrySection(n);
    forEachEntryKey(
        [&](const NumericKey& key) {
          ini.SaveIni(section, key.name, std::to_string(event.*memberOf(key.field)));
        },
        [&] { ini.SaveIni(section, kShareName, event.ShareName); });
  }
  ini.commit();
}

bool EventFile::isModified(const std::string& deviceText, const EventTable& table) const {
  clsIni ini;
  ini.setFileName(path_);
  bool modified = false;
  if (!equalsIgnoringCase(trimSpaces(ini.getWholeText(kGeneral, kDevice, "")),
                          trimSpaces(deviceText)))
    modified = true;
  const std::int32_t highest = table.GetEventCount();
  if (differsAsNumber(ini.GetIni(kGeneral, kCount, "0"), highest)) modified = true;
  // Every comparison is made, also after the first difference: a stored non-number anywhere
  // fails the comparison whatever came before.
  for (std::int32_t n = 0; n <= highest; ++n) {
    const MidiEvent& event = table.record(n);
    const std::string section = entrySection(n);
    forEachEntryKey(
        [&](const NumericKey& key) {
          const std::string stored =
              ini.GetIni(section, key.name, std::to_string(key.defaultValue));
          if (differsAsNumber(stored, event.*memberOf(key.field))) modified = true;
        },
        [&] {
          if (ini.GetIni(section, kShareName, "") != event.ShareName) modified = true;
        });
  }
  return modified;
}

}  // namespace notecast
