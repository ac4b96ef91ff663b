#include "window/Configfrm.h"

#include "abi/Boundary.h"
#include "abi/ModuleLock.h"
#include "window/ConfigfrmForm.h"
#include "window/MessageBox.h"
#include "window/OutputChangeRelay.h"

namespace notecast {

// The window shows the boxes nobody else answers.
Configfrm::Configfrm() {
  BoxRequests::setWindowBox(&showMessageBox);
}

Configfrm::~Configfrm() {
  unload();
  BoxRequests::setWindowBox({});
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
  // MAY tear the plug-in down and destroy this instance: nothing of *this is used after it.
  if (count == 0) ModuleLock::objectDestroyed();
  return count;
}

// The host tells the window its view mode; the window looks the same in every mode.
HRESULT Configfrm::put_ViewMode(std::int32_t) noexcept {
  return S_OK;
}

}  // namespace notecast
