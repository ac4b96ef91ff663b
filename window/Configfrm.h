#pragma once
// The configuration window: the plug-in's one window, the owner of the event table and, while
// loaded, of its controls and the MIDI output control.
//
// One instance lives for the life of the plug-in (plugin/PluginGlobals). It exists before its
// window is loaded, and the event table survives an unload. The window is not loaded, loaded and
// hidden, or loaded and shown; any use of a control while it is not loaded loads it first, which
// runs the load sequence (Form_Load) once per transition.
//
// Lifetime: the plug-in owns the instance; the host's references (ILumoTool, IExternalWindow)
// only keep the plug-in library alive, they never destroy the window.
//
// The class is spread over files by group: construction and the host's interfaces
// (Configfrm.cpp), hosting the window (ConfigfrmHosting.cpp), the entry list and OK
// (ConfigfrmEntryList.cpp), New, Delete and the event types' rules (ConfigfrmEntries.cpp),
// editing (ConfigfrmEditing.cpp), selection (ConfigfrmSelection.cpp), the MIDI device
// (ConfigfrmDevices.cpp), the dispatch and the command path (ConfigfrmDispatch.cpp), the event
// file and the window position (ConfigfrmPersistence.cpp). The widgets themselves are
// ConfigfrmForm, placed by ConfigfrmLayout.
// All methods MUST be called on the host's user-interface thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "abi/LumoTypeLib/IExternalWindow.h"
#include "abi/LumoTypeLib/ILumoTool.h"
#include "engine/ChannelDispatch.h"
#include "engine/ChannelIndex.h"
#include "engine/CommandTarget.h"
#include "engine/EventTable.h"
#include "midi/MidiOutputControl.h"
#include "midi/SendLog.h"

namespace notecast {

class ConfigfrmForm;
class IMessageSink;
class OutputChangeRelay;

class Configfrm final : public lumo::ILumoTool, public lumo::IExternalWindow, public CommandTarget {
 public:
  enum class Presence { NotLoaded, Hidden, Shown };
  // Window states as the host and the event file number them.
  enum WindowStateValue : std::int32_t { kNormal = 0, kMinimized = 1, kMaximized = 2 };

  Configfrm();
  ~Configfrm();
  Configfrm(const Configfrm&) = delete;
  Configfrm& operator=(const Configfrm&) = delete;

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

  // The event table. Reads never load the window.
  bool IsArrayEmpty() const noexcept { return table_.IsArrayEmpty(); }
  std::int32_t GetEventCount() const { return table_.GetEventCount(); }
  Variant GetShareName(std::int32_t index) const { return table_.GetShareName(index); }
  const EventTable& eventTable() const override { return table_; }
  // For the window's own subsystems (dispatch, event file, editing): every change goes through
  // the table's operations.
  EventTable& table() noexcept { return table_; }

  // The plug-in object's paths to the window (they throw run-time errors).
  void configureFromHost();    // Configure: show, loading first when needed
  void hideThenUnload();       // Disable
  void hideThenCloseDevice();  // Term
  void unloadForTearDown() noexcept;

  // The dispatch of one channel change and the command path.
  void ExecuteMidiEvent(std::int32_t channel, std::int32_t value);
  void ExecuteMidiEventFromCommand(std::int32_t index) override;
  // The status labels of the last change. While the window is not on screen they only note
  // the change; the labels catch up when the window is shown or handed to the host (loadWindow).
  void showLastChannel(std::int32_t channel);
  void showLastValue(std::int32_t value, std::int16_t midiValue);

  // The entry list and the window's reset.
  void refreshEntryList();
  void clearForm();
  void cmdOK_Click();

  // The MIDI device.
  // Fills the output list with what the MIDI system has now, no row selected (the load's first
  // step: the event file chooses the row).
  void fillDeviceList();
  // Fills the output list again, keeping the chosen output selected by name; while it is
  // missing its row stays, at the end. Opens, closes and picks nothing (connections others made
  // to our port stay). On every show and every change the MIDI system announces.
  void refreshDeviceList();
  // Opens the output of the selected row by its name; no row: nothing chosen (device -2).
  void openChosenDevice();
  void closeDevice();
  // True when the message went out; a status byte that starts no message sends nothing, nor
  // does an output that cannot take it now (both count as not sent).
  bool sendStep(std::int32_t status, std::int32_t data1, std::int32_t data2);
  void cboMidiOutput_Click();
  void cmdSendTestNote_Click();
  // The output control's status while the window is loaded, {kNone, ""} otherwise. Never loads
  // the window, opens, closes or tells anything.
  MidiOutputStatus outputStatus() const;
  // What went out over the plug-in's life; kept across unloads of the window.
  const SendLog& sendLog() const noexcept { return sendLog_; }
  // The output for this run only (the host's command line): chosen instead of the event file's
  // device whenever the event file is loaded, and never stored. A save keeps the file's own
  // device, so the choice alone never makes the file count as changed. It stands until the user
  // picks another output in the window. Nothing: the event file decides again (next load).
  void setOutputForRun(std::optional<std::string> name);
  // Ports to keep connected from the plug-in's own output port (MidiOutputControl); kept across
  // unloads of the window.
  void setKeptConnections(std::vector<std::string> ports);
  // The device name a save writes: the file's own while the run's choice stands, else the row
  // the user selected.
  std::string deviceToStore();
  // The outputs the output list offers, named as it names them, as the MIDI system has them
  // now; loads the window (hidden) first. Shows no box: what the control finds meanwhile is
  // told at its next operation.
  std::vector<std::string> outputNames();
  // Each port of setKeptConnections, in its order, with its state as the control's last look
  // left it; a port an earlier control (before an unload) had connected counts as gone until
  // connected again. Never loads the window.
  KeptConnections::States keptConnectionStates() const;
  // Told of every message that goes out (the dispatch, the command path, the test note);
  // null: none. Kept across unloads of the window.
  void setMessageSink(IMessageSink* sink) noexcept { messageSink_ = sink; }
  // How the host chooses an output, said where the control tells that none is open (empty:
  // the control's own advice); kept across unloads, handed to every control.
  void setOutputAdvice(std::string sentence);

  // The event file and the window position (ConfigfrmPersistence.cpp).
  void openCfgFile();
  void saveCfgFile();
  bool isCfgFileModified();
  void loadWindowPosition();
  void saveWindowPosition();
  const std::string& eventFileName() const noexcept { return eventFileName_; }
  // Where the host project's base file name comes from (the host's helper); throws when there is
  // no project to ask.
  void setProjectBaseSource(std::function<std::string()> source);

  // Entry list management, editing and selection (ConfigfrmEntries.cpp, ConfigfrmEditing.cpp,
  // ConfigfrmSelection.cpp).
  // The entry the editing controls write to: the highlighted row when it lies in the table,
  // else -1 (also while the table was never dimensioned or the window is not loaded).
  int selectedEntry() const;
  void updateEventTypeControls();
  void cmdNew_Click();
  void cmdDelete_Click();
  void txtDmx_Change();
  void txtValue_Change();
  void txtMsg_Change();
  void txtData1_Change();
  void txtData2_Change();
  void txtShareName_Change();
  void chkSendNoteOff_Click();
  void chkSendOnlyOnce_Click();
  void chkShare_Click();
  void cboEvent_Click();
  void cboMIDIMessage_Click();
  void cboMIDIChannel_Click();
  void lstView_Click();  // the user selected a row: shows its entry in the editing controls
  // The program moved the highlight: shows its entry in the editing controls, writing nothing.
  void showHighlightedEntry();

  Presence presence() const noexcept { return presence_; }
  // The loaded form, loading the window first: every use of a control goes through here.
  ConfigfrmForm& form();

 private:
  void ensureLoaded();
  void Form_Load();
  void loadProjectSettings();
  void connectHandlers();
  void show();
  void hide();
  void unload() noexcept;
  MidiOutputControl& midi();
  class DispatchToWindow;
  class ReportsHeld;
  void installDeviceReport();
  void onDeviceReport(std::int16_t& code, std::string& text);
  // Fills the editing controls with the entry `row`; as the user selected, the enabling rules may
  // clear its "Send only once" (ConfigfrmSelection.cpp).
  void fillEditingControls(int row, bool asTheUserSelected);
  // updateEventTypeControls, clearing "Send only once" of a value-mapping type only when asked.
  void applyEventTypeRules(bool clearOnce);
  // A change the MIDI system announced, or the poll while something is missing: the control
  // looks again and the list follows.
  void onOutputChanged();
  // Sets the status labels to the last change not shown yet.
  void updateStatusLabels();

  EventTable table_;
  ChannelIndex channelIndex_;
  std::string eventFileName_;  // formed by loadProjectSettings; empty before the first
  std::function<std::string()> projectBase_;
  Presence presence_ = Presence::NotLoaded;
  std::unique_ptr<ConfigfrmForm> form_;
  std::unique_ptr<OutputChangeRelay> outputRelay_;  // while loaded; declared first: outlives midi_
  std::unique_ptr<MidiOutputControl> midi_;
  bool handlingOutputChange_ = false;
  bool outputChangedAgain_ = false;  // during handling, e.g. in a report's box
  SendLog sendLog_;
  std::optional<std::string> runOutput_;       // the host's choice for this run
  std::string fileDevice_;                     // the device the event file gave at its last load
  bool outputListCleared_ = false;             // no row chosen since a clear (refreshDeviceList)
  std::vector<std::string> keptConnections_;   // handed to every control the window makes
  std::set<std::string> keptConnectedBefore_;  // connected by a control since unloaded
  std::string outputAdvice_;                   // handed to every control the window makes
  IMessageSink* messageSink_ = nullptr;
  int reportsHeld_ = 0;           // while above 0 the control's reports wait (ReportsHeld)
  std::uint64_t boxesShown_ = 0;  // device reports shown, counted for the test note
  std::atomic<std::uint32_t> externalReferences_{0};
  // The last change not on the status labels yet. Formatting and setting two labels for every
  // change of a window nobody sees took about a tenth of the dispatch.
  struct UnshownChange {
    std::optional<std::int32_t> channel;
    std::optional<std::pair<std::int32_t, std::int16_t>> value;  // the value and its MIDI half
  } unshown_;
};

}  // namespace notecast
