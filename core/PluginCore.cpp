// Loading and unloading the core, and the project data operations the host calls.

#include "core/PluginCore.h"

#include "abi/Boundary.h"
#include "core/BoxRequests.h"
#include "core/OutputChangeRelay.h"
#include "persistence/EventFileName.h"
#include "persistence/profile/ProfileDocument.h"

namespace notecast {
namespace {

constexpr const char* kAskText =
    "The Notecast file was modified.\rDo you want to save the changes?";
constexpr const char* kAskTitle = "Save changed?";
constexpr const char* kSaveFailedTitle = "Notecast";
constexpr const char* kSaveFailedText = "The Notecast file could not be saved.";

}  // namespace

const std::size_t PluginCore::kMaxShareNameBytes = ProfileDocument::kMaxValueBytes;

PluginCore::PluginCore() = default;

PluginCore::~PluginCore() {
  unload();
}

void PluginCore::ensureLoaded() {
  if (loaded_) return;
  // The MIDI system's announcements reach the core through the user-interface thread's queue.
  outputRelay_ = std::make_unique<OutputChangeRelay>([this] { onOutputChanged(); });
  midi_ = createMidiOutputControl();
  if (reportsHeld_ == 0) installDeviceReport();
  midi_->setChangeNotifier(outputRelay_->notifier());
  if (!clientName_.empty()) midi_->setClientName(clientName_);
  midi_->setKeptConnections(keptConnections_);
  midi_->setOutputAdvice(outputAdvice_);
  loaded_ = true;
  if (loadListener_) loadListener_();
  Form_Load();
}

// The load sequence, once per transition from not loaded to loaded. A failing step ends it;
// the failure goes to whatever caused the load.
void PluginCore::Form_Load() {
  clearForm();
  loadProjectSettings();
  loadWindowPosition();
}

// The control goes first: it never calls the relay's notifier once destroyed, and a call the
// relay queued goes with the relay.
void PluginCore::unload() noexcept {
  if (!loaded_) return;
  runStep([this] { releaseBefore(std::nullopt); });
  if (!loaded_) return;  // a box during the release unloaded already
  loaded_ = false;
  if (CoreView* view = std::exchange(view_, nullptr)) view->unloaded();
  lastChange_ = {};  // a new window starts with empty labels
  place_ = {};
  // The control's connections go with it; the next control makes them again.
  runStep([this] {
    for (const auto& [port, state] : midi_->keptConnectionStates()) {
      if (state != KeptConnections::State::kWaiting) keptConnectedBefore_.insert(port);
    }
  });
  midi_.reset();
  outputRelay_.reset();
}

void PluginCore::setView(CoreView* view) {
  view_ = view;
  if (!view_) return;
  view_->showCleared();
  view_->showOutputs();
  if (!table_.IsArrayEmpty()) view_->showEntries();
  if (selectedEntry() >= 0) view_->showHighlight();
  if (loaded_) view_->showPlace(place_);
  view_->showLastChange();
}

// The empty state. Loads first: loading reads the event file into the table, which would
// otherwise undo the reset.
void PluginCore::clearForm() {
  ensureLoaded();
  table_.reset();
  outputRows_.clear();
  chosenOutput_ = -1;
  outputListCleared_ = true;
  highlighted_ = -1;
  showLine_ = false;
  ++entryListRevision_;
  if (view_) view_->showCleared();
}

void PluginCore::setProjectBaseSource(std::function<std::string()> source) {
  projectBase_ = std::move(source);
}

// Fills the device list, forms the event file name from the host's project, loads the file and
// shows the table. Without error handling of its own: a failure ends it.
void PluginCore::loadProjectSettings() {
  fillDeviceList();
  if (!projectBase_) throw RuntimeError(ErrorNumber::ObjectNotSet);
  eventFileName_ = eventFilePath(projectBase_());
  openCfgFile();
  refreshEntryList();
}

bool PluginCore::askToSave() {
  bool cancelled = false;
  if (isCfgFileModified()) {
    const BoxAnswer answer = BoxRequests::ask(
        {kAskText, kAskTitle, BoxButtons::YesNoCancel, BoxIcon::Question, BoxAnswer::Yes});
    if (answer == BoxAnswer::Cancel) cancelled = true;
    if (answer == BoxAnswer::Yes) {
      try {
        saveCfgFile();
      } catch (const std::exception& failure) {
        // Nothing was saved: the user is told, and the host keeps the project open.
        BoxRequests::ask({std::string(kSaveFailedText) + "\r" + failure.what(), kSaveFailedTitle,
                          BoxButtons::Ok, BoxIcon::Warning, BoxAnswer::Ok});
        return true;
      }
    }
  }
  if (!cancelled) saveWindowPosition();
  return cancelled;
}

}  // namespace notecast
