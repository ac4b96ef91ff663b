// The event file and the window's place: loading the stored device and table, saving,
// comparing.

#include "abi/Boundary.h"
#include "core/PluginCore.h"
#include "engine/EventType.h"
#include "persistence/EventFile.h"
#include "persistence/EventFileCheck.h"
#include "persistence/EventFileName.h"
#include "persistence/WindowPosition.h"

namespace notecast {
namespace {

// A failed save, with the reason, as the host sees it.
[[noreturn]] void throwSaveFailure(const std::exception& failure) {
  throw RuntimeError(static_cast<std::int32_t>(ErrorNumber::PathFileAccess), failure.what());
}

std::string trimmed(const std::string& text) {
  constexpr const char* kBlanks = " \t\n\v\f\r";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace

void PluginCore::openCfgFile() {
  const EventFile::Contents contents = EventFile(eventFileName_).load();
  applyEventFile(contents.deviceName, contents.records);
}

void PluginCore::applyEventFile(const std::string& fileDevice,
                                const std::vector<MidiEvent>& records) {
  fileDevice_ = fileDevice;
  const std::string device = runOutput_.value_or(fileDevice);
  outputListCleared_ = false;
  // Every row is visited: of several rows of that name the last one is chosen.
  for (int row = 0; row < static_cast<int>(outputRows_.size()); ++row) {
    if (trimmed(outputRows_[row].name) == device) chosenOutput_ = row;
  }
  // A stored output that is not there now is still the chosen one: its row is kept, at the
  // end, and the control opens it as soon as it appears.
  if (chosenOutput_ < 0 && !device.empty()) {
    outputRows_.push_back({device});
    chosenOutput_ = static_cast<int>(outputRows_.size()) - 1;
  }
  if (view_) view_->showOutputs();
  releaseBefore(chosenOutput_ >= 0 ? std::optional(outputRows_[chosenOutput_].name) : std::nullopt);
  // Opened even when no row is chosen (nothing chosen); a failed open was told by the device
  // report.
  runStep([this] { openChosenDevice(); });
  table_.assign(records);
}

// The file is looked at and loaded before anything is cleared: the clear and the load that
// follow cannot fail for want of the file any more, and they read it no more.
std::string PluginCore::reloadEventFile(std::int32_t* events) {
  if (!projectBase_) throw RuntimeError(ErrorNumber::ObjectNotSet);
  const std::string base = projectBase_();
  if (std::string problem = checkEventFile(base, "", false); !problem.empty()) return problem;
  const std::string path = eventFilePath(base);
  const EventFile::Contents contents = EventFile(path).load();
  clearForm();
  fillDeviceList();
  eventFileName_ = path;
  applyEventFile(contents.deviceName, contents.records);
  refreshEntryList();
  *events = firingEvents();
  return {};
}

// An entry fires when a DMX channel (1 and up) changes and its type is one the dispatch knows.
std::int32_t PluginCore::firingEvents() const {
  if (table_.IsArrayEmpty()) return 0;
  std::int32_t count = 0;
  for (std::int32_t row = 0; row < table_.size(); ++row) {
    const MidiEvent& event = table_.record(row);
    if (event.DMXChannel >= 1 && traitsOf(event.Typ)) ++count;
  }
  return count;
}

// Loads first: the load reads the event file, which must happen before the save replaces it.
// No file is touched before an event file name was formed.
void PluginCore::saveCfgFile() {
  ensureLoaded();
  if (eventFileName_.empty()) return;
  try {
    EventFile(eventFileName_).save(deviceToStore(), table_);
  } catch (const RuntimeError&) {
    throw;
  } catch (const std::exception& failure) {
    throwSaveFailure(failure);
  }
}

bool PluginCore::isCfgFileModified() {
  ensureLoaded();
  if (eventFileName_.empty()) return false;
  return EventFile(eventFileName_).isModified(deviceToStore(), table_);
}

// Each stored value the window can take replaces the place it had; another keeps it.
void PluginCore::loadWindowPosition() {
  if (eventFileName_.empty()) return;
  const StoredWindowPosition stored = WindowPosition(eventFileName_).load();
  place_ = windowPlace();
  runStep([&] {
    if (stored.leftTwips) place_.left = WindowPosition::toPixels(*stored.leftTwips);
  });
  runStep([&] {
    if (stored.topTwips) place_.top = WindowPosition::toPixels(*stored.topTwips);
  });
  if (stored.state && *stored.state >= kNormal && *stored.state <= kMaximized)
    place_.state = *stored.state;  // another number leaves the state as it is
  if (view_) view_->showPlace(place_);
}

WindowPlace PluginCore::windowPlace() const {
  if (view_) return view_->place();
  return loaded_ ? place_ : WindowPlace{};
}

// Every save writes the whole place: a stored value the load could not take is replaced by
// where the window is.
void PluginCore::saveWindowPosition() {
  if (eventFileName_.empty()) return;
  const WindowPlace place = windowPlace();
  runStep([&] { WindowPosition(eventFileName_).save(place.state, place.left, place.top); });
}

}  // namespace notecast
