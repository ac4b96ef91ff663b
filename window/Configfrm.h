#pragma once
// The configuration window: the plug-in's one window and the owner of the event table.
//
// One instance lives for the life of the plug-in (see plugin/PluginGlobals): it exists before
// its window is loaded, and its data (the event table) survives an unload. The window is in one
// of three states: not loaded, loaded and hidden, loaded and shown; any use of the window's
// controls while it is not loaded loads it first, which runs the load sequence.
//
// Lifetime: the plug-in owns the instance; the host's references (through ILumoTool and
// IExternalWindow) only keep the plug-in library alive. Releasing the host's last reference does
// not destroy the window; the plug-in's tear-down does.
//
// All methods MUST be called on the host's user-interface thread.

#include <atomic>
#include <cstdint>

#include "engine/CommandTarget.h"
#include "engine/EventTable.h"
#include "plugin/LumoTypeLib/IExternalWindow.h"
#include "plugin/LumoTypeLib/ILumoTool.h"

namespace notecast {

class Configfrm final : public lumo::ILumoTool, public lumo::IExternalWindow, public CommandTarget {
 public:
  enum class Presence { NotLoaded, Hidden, Shown };

  Configfrm();
  ~Configfrm();
  Configfrm(const Configfrm&) = delete;
  Configfrm& operator=(const Configfrm&) = delete;

  // IUnknown: the host's references.
  HRESULT QueryInterface(const Iid& iid, void** object) noexcept override;
  std::uint32_t AddRef() noexcept override;
  std::uint32_t Release() noexcept override;
  std::uint32_t externalReferences() const noexcept { return externalReferences_; }

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

  // The event table. Reads never load the window.
  bool IsArrayEmpty() const noexcept { return table_.IsArrayEmpty(); }
  std::int32_t GetEventCount() const { return table_.GetEventCount(); }
  Variant GetShareName(std::int32_t index) const { return table_.GetShareName(index); }
  const EventTable& eventTable() const override { return table_; }

  // The plug-in object's paths to the window (they throw run-time errors).
  void configureFromHost();    // show, loading first when needed
  void hideThenUnload();       // Disable
  void hideThenCloseDevice();  // Term
  void unloadForTearDown() noexcept;

  // The dispatch of one channel change and the command path.
  void ExecuteMidiEvent(std::int32_t channel, std::int32_t value);
  void ExecuteMidiEventFromCommand(std::int32_t index) override;

  Presence presence() const noexcept { return presence_; }

 private:
  void ensureLoaded();  // runs the load sequence on the way from not loaded to loaded
  void Form_Load();
  void clearForm();
  void hide();
  void unload() noexcept;

  EventTable table_;
  Presence presence_ = Presence::NotLoaded;
  std::atomic<std::uint32_t> externalReferences_{0};
};

}  // namespace notecast
