#include "plugin/HostWindow.h"

#include "abi/Boundary.h"
#include "abi/ModuleLock.h"
#include "window/Configfrm.h"

namespace notecast {
namespace {

// The four window operations answer False whatever they did.
template <class Body>
HRESULT windowCall(VARIANT_BOOL* result, Body&& body) noexcept {
  if (result) *result = VARIANT_FALSE;
  return callGuarded(std::forward<Body>(body));
}

}  // namespace

HostWindow::HostWindow(PluginCore& core, std::function<Configfrm&()> window,
                       std::function<bool()> windowMade)
    : core_(core), window_(std::move(window)), windowMade_(std::move(windowMade)) {}

HRESULT HostWindow::QueryInterface(const Iid& iid, void** object) noexcept {
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
std::uint32_t HostWindow::AddRef() noexcept {
  const std::uint32_t count = ++externalReferences_;
  if (count == 1) ModuleLock::objectCreated();
  return count;
}

std::uint32_t HostWindow::Release() noexcept {
  const std::uint32_t count = --externalReferences_;
  // MAY tear the plug-in down and destroy this instance: nothing of *this is used after it.
  if (count == 0) ModuleLock::objectDestroyed();
  return count;
}

HRESULT HostWindow::ClearProjectData() noexcept {
  return callGuarded([this] { core_.clearForm(); });
}

HRESULT HostWindow::LoadProjectData() noexcept {
  return callGuarded([this] { core_.loadProjectSettings(); });
}

HRESULT HostWindow::SaveProjectData() noexcept {
  return callGuarded([this] { core_.saveCfgFile(); });
}

// True when the user cancelled: the host then keeps its project open.
HRESULT HostWindow::AskToSaveProjectData(VARIANT_BOOL* result) noexcept {
  if (result) *result = VARIANT_FALSE;
  bool cancelled = false;
  const HRESULT hr = callGuarded([&] { cancelled = core_.askToSave(); });
  if (result && SUCCEEDED(hr)) *result = toVariantBool(cancelled);
  return hr;
}

// The host tells the window its view mode; the window looks the same in every mode.
HRESULT HostWindow::put_ViewMode(std::int32_t) noexcept {
  return S_OK;
}

HRESULT HostWindow::get_isOpen(VARIANT_BOOL* result) noexcept {
  if (!result) return E_POINTER;
  *result = toVariantBool(core_.loaded());
  return S_OK;
}

// The host gets the window as it is now: the status labels catch up.
HRESULT HostWindow::loadWindow(VARIANT_BOOL* result) noexcept {
  return windowCall(result, [this] { window_().loadWindow(); });
}

HRESULT HostWindow::unloadWindow(VARIANT_BOOL* result) noexcept {
  return windowCall(result, [this] { core_.unload(); });
}

HRESULT HostWindow::hideWindow(VARIANT_BOOL* result) noexcept {
  return windowCall(result, [this] { hide(); });
}

// Never loads the window: a window that is not loaded stays so.
HRESULT HostWindow::showWindow(VARIANT_BOOL* result) noexcept {
  return windowCall(result, [this] {
    if (core_.loaded()) window_().show();
  });
}

// Answers without loading the window; a window that is not loaded is in the normal state.
HRESULT HostWindow::get_WindowState(std::int32_t* state) noexcept {
  if (!state) return E_POINTER;
  *state = core_.windowPlace().state;
  return S_OK;
}

// The host may tell a state, but the window keeps its own.
HRESULT HostWindow::put_WindowState(std::int32_t) noexcept {
  return S_OK;
}

void HostWindow::configureFromHost() {
  window_().show();
}

void HostWindow::hideThenUnload() {
  hide();
  core_.unload();
}

void HostWindow::hideThenCloseDevice() {
  hide();
  core_.closeDevice();
}

void HostWindow::hide() {
  core_.ensureLoaded();
  if (windowMade_()) window_().hide();
}

}  // namespace notecast
