// Loading, showing, hiding and unloading the window, for the host and the plug-in object.

#include "abi/Boundary.h"
#include "window/Configfrm.h"
#include "window/ConfigfrmForm.h"
#include "window/OutputChangeRelay.h"

namespace notecast {
namespace {

// The four window operations answer False whatever they did.
template <class Body>
HRESULT windowCall(VARIANT_BOOL* result, Body&& body) noexcept {
  if (result) *result = VARIANT_FALSE;
  return callGuarded(std::forward<Body>(body));
}

}  // namespace

HRESULT Configfrm::get_isOpen(VARIANT_BOOL* result) noexcept {
  if (!result) return E_POINTER;
  *result = toVariantBool(presence_ != Presence::NotLoaded);
  return S_OK;
}

// The host gets the window as it is now: the status labels catch up.
HRESULT Configfrm::loadWindow(VARIANT_BOOL* result) noexcept {
  return windowCall(result, [this] {
    ensureLoaded();
    updateStatusLabels();
  });
}

HRESULT Configfrm::unloadWindow(VARIANT_BOOL* result) noexcept {
  return windowCall(result, [this] { unload(); });
}

HRESULT Configfrm::hideWindow(VARIANT_BOOL* result) noexcept {
  return windowCall(result, [this] { hide(); });
}

// Never loads the window: a window that is not loaded stays so.
HRESULT Configfrm::showWindow(VARIANT_BOOL* result) noexcept {
  return windowCall(result, [this] {
    if (presence_ != Presence::NotLoaded) show();
  });
}

// Answers without loading the window; a window that is not loaded is in the normal state.
HRESULT Configfrm::get_WindowState(std::int32_t* state) noexcept {
  if (!state) return E_POINTER;
  *state = kNormal;
  if (!form_) return S_OK;
  const Qt::WindowStates states = form_->windowState();
  if (states & Qt::WindowMinimized) {
    *state = kMinimized;
  } else if (states & Qt::WindowMaximized) {
    *state = kMaximized;
  }
  return S_OK;
}

// The host may tell a state, but the window keeps its own.
HRESULT Configfrm::put_WindowState(std::int32_t) noexcept {
  return S_OK;
}

void Configfrm::configureFromHost() {
  show();
}

void Configfrm::hideThenUnload() {
  hide();
  unload();
}

void Configfrm::hideThenCloseDevice() {
  hide();
  closeDevice();
}

void Configfrm::unloadForTearDown() noexcept {
  unload();
}

ConfigfrmForm& Configfrm::form() {
  ensureLoaded();
  return *form_;
}

void Configfrm::ensureLoaded() {
  if (presence_ != Presence::NotLoaded) return;
  form_ = std::make_unique<ConfigfrmForm>();
  // The MIDI system's announcements reach the window through the form's event queue.
  outputRelay_ = std::make_unique<OutputChangeRelay>(form_.get(), [this] { onOutputChanged(); });
  midi_ = createMidiOutputControl();
  if (reportsHeld_ == 0) installDeviceReport();
  midi_->setChangeNotifier(outputRelay_->notifier());
  midi_->setKeptConnections(keptConnections_);
  midi_->setOutputAdvice(outputAdvice_);
  // The window offers no close of its own: the window manager's close hides it as OK does, so
  // the table and every unsaved edit stay (an unload would read the event file again at the
  // next load). Only the host unloads the window.
  form_->onCloseRequested = [this] { cmdOK_Click(); };
  connectHandlers();
  presence_ = Presence::Hidden;
  Form_Load();
}

// The load sequence, once per transition from not loaded to loaded. A failing step ends it;
// the failure goes to whatever caused the load.
void Configfrm::Form_Load() {
  clearForm();
  loadProjectSettings();
  loadWindowPosition();
}

// The output list shows what is there now: ports come and go while the window is hidden.
void Configfrm::show() {
  ConfigfrmForm& window = form();
  window.show();
  window.raise();
  presence_ = Presence::Shown;
  updateStatusLabels();
  runStep([this] { refreshDeviceList(); });
}

void Configfrm::hide() {
  form().hide();
  presence_ = Presence::Hidden;
}

// The window and its controls go away, the MIDI output control with them (which closes its
// device); the event table stays. The control goes first: it never calls the relay's notifier
// once destroyed, and a call the relay queued on the form goes with the form.
void Configfrm::unload() noexcept {
  if (presence_ == Presence::NotLoaded) return;
  presence_ = Presence::NotLoaded;
  unshown_ = {};  // a new window starts with empty labels
  // The control's connections go with it; the next control makes them again.
  runStep([this] {
    for (const auto& [port, state] : midi_->keptConnectionStates()) {
      if (state != KeptConnections::State::kWaiting) keptConnectedBefore_.insert(port);
    }
  });
  midi_.reset();
  outputRelay_.reset();
  form_.reset();
}

}  // namespace notecast
