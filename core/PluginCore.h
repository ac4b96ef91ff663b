#pragma once
// The plug-in's state and work, without a window: the event table and its channel index, the
// dispatch and the command path, the MIDI output control with its send log and kept
// connections, the event file and the project settings, and what the window shows of them (the
// output list and its chosen row, the highlighted entry, "Show line", the last channel change,
// the window's place).
//
// One instance lives for the life of the plug-in (plugin/PluginGlobals). It is loaded or not:
// loading makes the MIDI output control and runs the load sequence (Form_Load), which reads the
// event file; every operation that needs the control or the file loads first, once per
// transition. unload() drops the control and keeps the table. The window (window/Configfrm),
// while it has its controls, is a view of this state: it follows through CoreView, and its
// handlers call the operations here.
//
// The class is spread over files by group: loading and the project data (PluginCore.cpp), the
// MIDI output (CoreOutput.cpp), the dispatch and the command path (CoreDispatch.cpp), the event
// file and the window's place (CoreEventFile.cpp), the entries and their editing
// (CoreEntries.cpp). User-interface thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/CoreView.h"
#include "engine/ChannelDispatch.h"
#include "engine/ChannelIndex.h"
#include "engine/CommandTarget.h"
#include "engine/EventTable.h"
#include "midi/MidiOutputControl.h"
#include "midi/SendLog.h"
#include "midi/SoundingNotes.h"

namespace notecast {

class IMessageSink;
class OutputChangeRelay;

// A row of the output list.
struct OutputRow {
  std::string name;
  bool missing = false;  // the chosen output, not there now: it opens as soon as it is back
};

// The last channel change, as the status labels show it.
struct LastChange {
  std::optional<std::int32_t> channel;
  std::optional<std::pair<std::int32_t, std::int16_t>> value;  // the value and its MIDI half
};

class PluginCore final : public CommandTarget {
 public:
  // The longest share name the event file gives back whole, in bytes.
  static const std::size_t kMaxShareNameBytes;

  PluginCore();
  ~PluginCore();
  PluginCore(const PluginCore&) = delete;
  PluginCore& operator=(const PluginCore&) = delete;

  // Loading (PluginCore.cpp).
  bool loaded() const noexcept { return loaded_; }
  // Loads when not loaded: makes the MIDI output control and runs the load sequence. A failing
  // step ends the sequence and is thrown; the core counts as loaded all the same.
  void ensureLoaded();
  // Drops the MIDI output control (which closes its device) and what the window showed; the
  // table stays. The view is told and detached first.
  void unload() noexcept;
  // The window that shows this state (null: none); a new view is shown the whole state.
  void setView(CoreView* view);
  // Called at each load, before the load sequence: where a window can be shown, the plug-in
  // makes its controls then, so that the window follows the load as the host expects.
  void setLoadListener(std::function<void()> listener) { loadListener_ = std::move(listener); }

  // The project data the host asks for: a clear (loading first), a load, a save, and the
  // question before the host closes its project (true: the user cancelled).
  void clearForm();
  void loadProjectSettings();
  void saveCfgFile();
  bool isCfgFileModified();
  bool askToSave();
  // The project's event file read and checked whole, then loaded as LoadProjectData after a
  // clear would load it: "" and `events` the number of events that can fire. A file that
  // cannot be used replaces nothing (the table, the output and its connections stay): the
  // reason in one line. The output is closed and opened again only when the file names
  // another.
  std::string reloadEventFile(std::int32_t* events);
  // Where the host project's base file name comes from (the host's helper); throws when there
  // is no project to ask.
  void setProjectBaseSource(std::function<std::string()> source);
  const std::string& eventFileName() const noexcept { return eventFileName_; }

  // The event table. Reads never load.
  bool IsArrayEmpty() const noexcept { return table_.IsArrayEmpty(); }
  std::int32_t GetEventCount() const { return table_.GetEventCount(); }
  // The number of entries: 0 for a table never dimensioned, else every entry, blank ones too.
  std::int32_t entryCount() const noexcept { return table_.IsArrayEmpty() ? 0 : table_.size(); }
  Variant GetShareName(std::int32_t index) const { return table_.GetShareName(index); }
  const EventTable& eventTable() const override { return table_; }
  // The table itself, for callers that build one in place (tests, benchmarks): every change
  // goes through the table's operations, and refreshEntryList shows it.
  EventTable& table() noexcept { return table_; }

  // The dispatch of one channel change and the command path (CoreDispatch.cpp). A table never
  // dimensioned raises error 9 before anything loads; the load comes before the walk over the
  // table, as it re-reads the table.
  void ExecuteMidiEvent(std::int32_t channel, std::int32_t value);
  void ExecuteMidiEventFromCommand(std::int32_t index) override;
  // The last change, for the status labels; the view is told.
  void showLastChannel(std::int32_t channel);
  void showLastValue(std::int32_t value, std::int16_t midiValue);
  const LastChange& lastChange() const noexcept { return lastChange_; }
  // "Show line": the dispatch and the command path highlight the entry they send.
  bool showLine() const noexcept { return showLine_; }
  void setShowLine(bool on) noexcept { showLine_ = on; }

  // The entries (CoreEntries.cpp).
  // The highlighted row as the list shows it (-1: none), whether or not it lies in the table.
  int highlightedRow() const noexcept { return highlighted_; }
  // The user highlighted a row (-1: none).
  void setHighlightedRow(int row) noexcept { highlighted_ = row; }
  // The entry the editing controls write to: the highlighted row when it lies in the table,
  // else -1 (also while the table was never dimensioned or the core is not loaded).
  int selectedEntry() const;
  // Keeps the highlighted row where it was (or on the new last row) and has the view rebuild
  // its list; nothing for a table never dimensioned.
  void refreshEntryList();
  // Changes each time the list is shown anew (refreshEntryList, a clear), with or without a
  // view: a host that shows the entries elsewhere reads them again only then.
  std::int64_t entryListRevision() const noexcept { return entryListRevision_; }
  void newEntry();
  // Deletes the selected entry (none selected: only the list is rebuilt); the highlight stays
  // on the row, now the next entry's, and the view shows that entry.
  void deleteSelectedEntry();
  // The editing controls' stores into the selected entry. Each store rebuilds the list unless
  // said otherwise; with no entry selected nothing is stored.
  // A number as typed (nothing: not a number, stores nothing but rebuilds); one outside the
  // field's range is refused and rebuilds nothing; else it is rounded half to even.
  void storeTypedNumber(MidiEventField field, std::optional<double> number);
  void storeFlag(MidiEventField field, bool on);
  void storeShareName(std::string name);
  // The event type picked, then the type's rules: a value-mapping type sends on every change,
  // so its entry's "Send only once" is cleared (the list is not rebuilt for that).
  void storeEventType(std::int32_t type);
  // The message kind picked: its base status on `channel` (0..15; another number: 0); nothing:
  // "Custom", a free status starting at 0.
  void storeMessageKind(std::optional<std::int32_t> baseStatus, std::int32_t channel);
  // Replaces the status's channel nibble and keeps its kind (no rebuild).
  void storeMessageChannel(std::int32_t channel);
  // The value-mapping rule of the type shown, on the selected entry (no rebuild).
  void applyEventTypeRules(std::int32_t type);

  // The MIDI output (CoreOutput.cpp).
  const std::vector<OutputRow>& outputRows() const noexcept { return outputRows_; }
  int chosenOutput() const noexcept { return chosenOutput_; }
  // The output list with what the MIDI system has now, no row chosen (the load's first step:
  // the event file chooses the row).
  void fillDeviceList();
  // The output list again, keeping the chosen output by name; while it is missing its row
  // stays, at the end. Opens, closes and picks nothing (connections others made to our port
  // stay). On every show and every change the MIDI system announces.
  void refreshDeviceList();
  // Opens the output of the chosen row by its name; no row: nothing chosen (device -2).
  void openChosenDevice();
  void closeDevice();
  // The user picked row `row` of the output list.
  void chooseOutput(int row);
  // True when the message went out; a status byte that starts no message sends nothing, nor
  // does an output that cannot take it now (both count as not sent).
  bool sendStep(std::int32_t status, std::int32_t data1, std::int32_t data2);
  void sendTestNote();
  // The output control's status while loaded, {kNone, ""} otherwise. Never loads, opens,
  // closes or tells anything.
  MidiOutputStatus outputStatus() const;
  // What went out over the plug-in's life; kept across unloads.
  const SendLog& sendLog() const noexcept { return sendLog_; }
  // The output for this run only (the host's command line): chosen instead of the event file's
  // device whenever the event file is loaded, and never stored. A save keeps the file's own
  // device, so the choice alone never makes the file count as changed. It stands until the user
  // picks another output. Nothing: the event file decides again (next load).
  void setOutputForRun(std::optional<std::string> name);
  // Ports to keep connected from the plug-in's own output port; kept across unloads.
  void setKeptConnections(std::vector<std::string> ports);
  // The plug-in's client name in the MIDI system (the control's own when empty); kept across
  // unloads. A loaded core's control connects again under the new name.
  void setClientName(std::string name);
  // The own port as the MIDI system named it; empty while not loaded or not connected.
  std::string ownPort() const;
  // The device name a save writes: the file's own while the run's choice stands, else the
  // chosen row's.
  std::string deviceToStore() const;
  // The outputs the output list offers, as the MIDI system has them now; loads first. Shows no
  // box: what the control finds meanwhile is told at its next operation.
  std::vector<std::string> outputNames();
  // Each port of setKeptConnections, in its order, with its state as the control's last look
  // left it; a port an earlier control (before an unload) had connected counts as gone until
  // connected again. Never loads.
  KeptConnections::States keptConnectionStates() const;
  // Note release: with it on, a note-off goes out for each note the output left sounding before
  // the output closes or changes (a close, an unload, another output chosen by the user or by
  // the event file). Off until the host turns it on.
  void setNoteRelease(bool on) noexcept { noteRelease_ = on; }
  // A note-off for each sounding note now, release on or not: how many went out.
  std::int32_t releaseNotes();
  // Every note-off a release sent over the plug-in's life.
  std::int64_t notesReleased() const noexcept { return notesReleased_; }
  // Told of every message that goes out; null: none. Kept across unloads.
  void setMessageSink(IMessageSink* sink) noexcept { messageSink_ = sink; }
  // How the host chooses an output, said where the control tells that none is open (empty:
  // the control's own advice); kept across unloads.
  void setOutputAdvice(std::string sentence);

  // The window's place (CoreEventFile.cpp): as the view has it, else as the event file gave it
  // at the load (normal at 0,0 while not loaded).
  WindowPlace windowPlace() const;
  void saveWindowPosition();

 private:
  void Form_Load();
  void openCfgFile();
  // The event file's device chosen (or the run's output) and opened, and its records made the
  // table.
  void applyEventFile(const std::string& fileDevice, const std::vector<MidiEvent>& records);
  std::int32_t firingEvents() const;
  void loadWindowPosition();
  MidiOutputControl& midi();
  class DispatchToCore;
  class ReportsHeld;
  void installDeviceReport();
  void onDeviceReport(std::int16_t& code, std::string& text);
  // A change the MIDI system announced, or the poll while something is missing: the control
  // looks again and the list follows.
  void onOutputChanged();
  void wakeRelay();
  // The sounding notes released (release on) or forgotten (off) when the open output is about
  // to close or to give way to `next` (the chosen output's name; nothing: it closes).
  void releaseBefore(const std::optional<std::string>& next);
  void highlight(int row);
  void storeIntoSelected(MidiEventField field, std::int32_t value);

  EventTable table_;
  ChannelIndex channelIndex_;
  std::string eventFileName_;  // formed by loadProjectSettings; empty before the first
  std::function<std::string()> projectBase_;
  bool loaded_ = false;
  CoreView* view_ = nullptr;
  std::function<void()> loadListener_;
  std::unique_ptr<OutputChangeRelay> outputRelay_;  // while loaded; declared first: outlives midi_
  std::unique_ptr<MidiOutputControl> midi_;
  bool handlingOutputChange_ = false;
  bool outputChangedAgain_ = false;  // during handling, e.g. in a report's box
  SendLog sendLog_;
  SoundingNotes soundingNotes_;
  bool noteRelease_ = false;
  std::int64_t notesReleased_ = 0;
  std::vector<OutputRow> outputRows_;
  int chosenOutput_ = -1;
  std::optional<std::string> runOutput_;       // the host's choice for this run
  std::string fileDevice_;                     // the device the event file gave at its last load
  bool outputListCleared_ = false;             // no row chosen since a clear (refreshDeviceList)
  std::vector<std::string> keptConnections_;   // handed to every control
  std::string clientName_;                     // handed to every control; empty: its own
  std::set<std::string> keptConnectedBefore_;  // connected by a control since unloaded
  std::string outputAdvice_;                   // handed to every control
  IMessageSink* messageSink_ = nullptr;
  int reportsHeld_ = 0;           // while above 0 the control's reports wait (ReportsHeld)
  std::uint64_t boxesShown_ = 0;  // device reports shown, counted for the test note
  int highlighted_ = -1;
  std::int64_t entryListRevision_ = 0;
  bool showLine_ = false;
  LastChange lastChange_;
  WindowPlace place_;  // as the event file gave it at the load
};

}  // namespace notecast
