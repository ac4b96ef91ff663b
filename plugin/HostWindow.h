#pragma once
// The plug-in's window as the host reaches it (the module information's Window): the project
// data operations (ILumoTool) go to the core; loading, showing and hiding (IExternalWindow) go
// to the core and, only when the host asks for the window itself, to the window's controls.
//
// One instance lives for the life of the plug-in (plugin/PluginGlobals). The host's references
// only keep the plug-in library alive; they never destroy it.

#include <atomic>
#include <cstdint>
#include <functional>

#include "abi/LumoTypeLib/IExternalWindow.h"
#include "abi/LumoTypeLib/ILumoTool.h"
#include "core/PluginCore.h"

namespace notecast {

class Configfrm;

class HostWindow final : public lumo::ILumoTool, public lumo::IExternalWindow {
 public:
  // `window` makes the window on first use; `windowMade` tells whether it was.
  HostWindow(PluginCore& core, std::function<Configfrm&()> window,
             std::function<bool()> windowMade);
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  // IUnknown: the host's references.
  HRESULT QueryInterface(const Iid& iid, void** object) noexcept override;
  std::uint32_t AddRef() noexcept override;
  std::uint32_t Release() noexcept override;

  // ILumoTool
  HRESULT ClearProjectData() noexcept override;
  HRESULT LoadProjectData() noexcept override;
  HRESULT SaveProjectData() noexcept override;
  HRESULT AskToSaveProjectData(VARIANT_BOOL* result) noexcept override;
  HRESULT put_ViewMode(std::int32_t RHS) noexcept override;

  // IExternalWindow
  HRESULT get_isOpen(VARIANT_BOOL* result) noexcept override;
  HRESULT loadWindow(VARIANT_BOOL* result) noexcept override;
  HRESULT unloadWindow(VARIANT_BOOL* result) noexcept override;
  HRESULT hideWindow(VARIANT_BOOL* result) noexcept override;
  HRESULT showWindow(VARIANT_BOOL* result) noexcept override;
  HRESULT get_WindowState(std::int32_t* state) noexcept override;
  HRESULT put_WindowState(std::int32_t RHS) noexcept override;

  // The plug-in object's paths (they throw run-time errors).
  void configureFromHost();    // Configure: show, loading first when needed
  void hideThenUnload();       // Disable
  void hideThenCloseDevice();  // Term

 private:
  // Hides the window when it was made; a hide loads the core all the same.
  void hide();

  PluginCore& core_;
  std::function<Configfrm&()> window_;
  std::function<bool()> windowMade_;
  std::atomic<std::uint32_t> externalReferences_{0};
};

}  // namespace notecast
