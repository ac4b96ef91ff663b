#include "window/Configfrm.h"

#include "platform/Boundary.h"
#include "platform/ModuleLock.h"

namespace notecast {

Configfrm::Configfrm() = default;

Configfrm::~Configfrm() {
  unload();
}

HRESULT Configfrm::QueryInterface(const Iid& iid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IUnknown::iid || iid == lumo::ILumoTool::iid) {
    *object = static_cast<lumo::ILumoTool*>(this);
  } else if (iid == lumo::IExternalWindow::iid) {
    *object = static_cast<lumo::IExternalWindow*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

// While the host holds any reference, the window counts as one live object of the library.
std::uint32_t Configfrm::AddRef() noexcept {
  const std::uint32_t count = ++externalReferences_;
  if (count == 1) ModuleLock::objectCreated();
  return count;
}

std::uint32_t Configfrm::Release() noexcept {
  const std::uint32_t count = --externalReferences_;
  // MAY tear the plug-in down (and destroy this instance): nothing of *this is used after it.
  if (count == 0) ModuleLock::objectDestroyed();
  return count;
}

HRESULT Configfrm::ClearProjectData() noexcept {
  return callGuarded([] { throw NotImplemented("ClearProjectData"); });
}
HRESULT Configfrm::LoadProjectData() noexcept {
  return callGuarded([] { throw NotImplemented("LoadProjectData"); });
}
HRESULT Configfrm::SaveProjectData() noexcept {
  return callGuarded([] { throw NotImplemented("SaveProjectData"); });
}
HRESULT Configfrm::AskToSaveProjectData(VARIANT_BOOL* result) noexcept {
  if (result) *result = VARIANT_FALSE;
  return callGuarded([] { throw NotImplemented("AskToSaveProjectData"); });
}
HRESULT Configfrm::put_ViewMode(std::int32_t) noexcept {
  return callGuarded([] { throw NotImplemented("ViewMode"); });
}

HRESULT Configfrm::get_isOpen(VARIANT_BOOL* result) noexcept {
  if (result) *result = VARIANT_FALSE;
  return callGuarded([] { throw NotImplemented("isOpen"); });
}
HRESULT Configfrm::loadWindow(VARIANT_BOOL* result) noexcept {
  if (result) *result = VARIANT_FALSE;
  return callGuarded([] { throw NotImplemented("loadWindow"); });
}
HRESULT Configfrm::unloadWindow(VARIANT_BOOL* result) noexcept {
  if (result) *result = VARIANT_FALSE;
  return callGuarded([] { throw NotImplemented("unloadWindow"); });
}
HRESULT Configfrm::hideWindow(VARIANT_BOOL* result) noexcept {
  if (result) *result = VARIANT_FALSE;
  return callGuarded([] { throw NotImplemented("hideWindow"); });
}
HRESULT Configfrm::showWindow(VARIANT_BOOL* result) noexcept {
  if (result) *result = VARIANT_FALSE;
  return callGuarded([] { throw NotImplemented("showWindow"); });
}
HRESULT Configfrm::get_WindowState(std::int32_t* state) noexcept {
  if (state) *state = 0;
  return callGuarded([] { throw NotImplemented("WindowState"); });
}
HRESULT Configfrm::put_WindowState(std::int32_t) noexcept {
  return callGuarded([] { throw NotImplemented("WindowState"); });
}

void Configfrm::configureFromHost() {
  // Showing needs the on-screen window, which this version does not build yet.
  throw NotImplemented("Configure");
}

void Configfrm::hideThenUnload() {
  hide();
  unload();
}

void Configfrm::hideThenCloseDevice() {
  hide();
  // No MIDI output exists in this version, so no device is open that could be closed.
}

void Configfrm::unloadForTearDown() noexcept {
  unload();
}

void Configfrm::ExecuteMidiEvent(std::int32_t, std::int32_t) {
  throw NotImplemented("ExecuteMidiEvent");
}

void Configfrm::ExecuteMidiEventFromCommand(std::int32_t) {
  throw NotImplemented("ExecuteMidiEventFromCommand");
}

void Configfrm::ensureLoaded() {
  if (presence_ != Presence::NotLoaded) return;
  presence_ = Presence::Hidden;
  Form_Load();
}

// The load sequence. Filling the device list, loading the event file and placing the window
// join it with the MIDI output and the persistence.
void Configfrm::Form_Load() {
  clearForm();
}

void Configfrm::clearForm() {
  table_.reset();
}

void Configfrm::hide() {
  ensureLoaded();
  presence_ = Presence::Hidden;
}

void Configfrm::unload() noexcept {
  presence_ = Presence::NotLoaded;
}

}  // namespace notecast
