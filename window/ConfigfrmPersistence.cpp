// The window's event file and position: loading the stored device and table, saving, comparing,
// and the project data operations the host calls.

#include <QComboBox>

#include "abi/Boundary.h"
#include "core/BoxRequests.h"
#include "persistence/EventFile.h"
#include "persistence/EventFileName.h"
#include "persistence/WindowPosition.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/modMIDIHelper.h"

namespace notecast {
namespace {

constexpr const char* kAskText =
    "The Notecast file was modified.\rDo you want to save the changes?";
constexpr const char* kAskTitle = "Save changed?";
constexpr const char* kSaveFailedTitle = "Notecast";
constexpr const char* kSaveFailedText = "The Notecast file could not be saved.";

// A failed save, with the reason, as the host sees it.
[[noreturn]] void throwSaveFailure(const std::exception& failure) {
  throw RuntimeError(static_cast<std::int32_t>(ErrorNumber::PathFileAccess), failure.what());
}

}  // namespace

void Configfrm::setProjectBaseSource(std::function<std::string()> source) {
  projectBase_ = std::move(source);
}

// Fills the device list, forms the event file name from the host's project, loads the file and
// shows the table. Without error handling of its own: a failure ends it.
void Configfrm::loadProjectSettings() {
  fillDeviceList();
  if (!projectBase_) throw RuntimeError(ErrorNumber::ObjectNotSet);
  eventFileName_ = eventFilePath(projectBase_());
  openCfgFile();
  refreshEntryList();
}

void Configfrm::openCfgFile() {
  const EventFile::Contents contents = EventFile(eventFileName_).load();
  fileDevice_ = contents.deviceName;
  const std::string device = runOutput_.value_or(contents.deviceName);
  QComboBox* devices = form().cboMidiOutput;
  outputListCleared_ = false;
  // Every row is visited: of several rows of that name the last one stays selected.
  for (int row = 0; row < devices->count(); ++row) {
    if (devices->itemText(row).trimmed().toStdString() == device) selectComboRow(devices, row);
  }
  // A stored output that is not there now is still the chosen one: its row is kept, at the
  // end, and the control opens it as soon as it appears.
  if (devices->currentIndex() < 0 && !device.empty()) {
    const QSignalBlocker blocker(devices);
    devices->addItem(QString::fromStdString(device));
    selectComboRow(devices, devices->count() - 1);
  }
  // Opened even when no row is selected (nothing chosen); a failed open was told by the device
  // report.
  runStep([this] { openChosenDevice(); });
  table_.assign(contents.records);
}

// The window is loaded first: its load reads the event file, which must happen before the save
// replaces it. No file is touched before an event file name was formed.
void Configfrm::saveCfgFile() {
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

bool Configfrm::isCfgFileModified() {
  ensureLoaded();
  if (eventFileName_.empty()) return false;
  return EventFile(eventFileName_).isModified(deviceToStore(), table_);
}

void Configfrm::loadWindowPosition() {
  if (eventFileName_.empty()) return;
  const StoredWindowPosition stored = WindowPosition(eventFileName_).load();
  ConfigfrmForm& window = form();
  // pos() and move() are the outer frame's position, so a load and a save never shift the window.
  runStep([&] {
    if (stored.leftTwips) window.move(WindowPosition::toPixels(*stored.leftTwips), window.y());
  });
  runStep([&] {
    if (stored.topTwips) window.move(window.x(), WindowPosition::toPixels(*stored.topTwips));
  });
  runStep([&] {
    if (!stored.state) return;
    switch (*stored.state) {
      case kNormal:
        window.setWindowState(Qt::WindowNoState);
        break;
      case kMinimized:
        window.setWindowState(Qt::WindowMinimized);
        break;
      case kMaximized:
        window.setWindowState(Qt::WindowMaximized);
        break;
      default:
        break;  // another number leaves the state as it is
    }
  });
}

void Configfrm::saveWindowPosition() {
  if (eventFileName_.empty()) return;
  std::int32_t state = kNormal;
  get_WindowState(&state);
  // Every save writes the whole position: a stored value the load could not take is replaced by
  // where the window is.
  const QPoint place = form().pos();
  runStep([&] { WindowPosition(eventFileName_).save(state, place.x(), place.y()); });
}

HRESULT Configfrm::ClearProjectData() noexcept {
  return callGuarded([this] { clearForm(); });
}

HRESULT Configfrm::LoadProjectData() noexcept {
  return callGuarded([this] { loadProjectSettings(); });
}

HRESULT Configfrm::SaveProjectData() noexcept {
  return callGuarded([this] { saveCfgFile(); });
}

// True when the user cancelled: the host then keeps its project open.
HRESULT Configfrm::AskToSaveProjectData(VARIANT_BOOL* result) noexcept {
  if (result) *result = VARIANT_FALSE;
  bool cancelled = false;
  const HRESULT hr = callGuarded([&] {
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
          cancelled = true;
          return;
        }
      }
    }
    if (!cancelled) saveWindowPosition();
  });
  if (result && SUCCEEDED(hr)) *result = toVariantBool(cancelled);
  return hr;
}

}  // namespace notecast
