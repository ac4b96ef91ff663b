#pragma once
// The host's main window in desktop mode: the open project, the DMX input's choice and status,
// the plug-in's MIDI output (name, state, counts, last messages sent), the plug-in's shared
// commands (list, refresh, fire), Configure, Save and Quit, and the run's messages
// (StatusMessages).
//
// Contract:
//  - User-interface thread only. `session` outlives the window; the plug-in has been through
//    Init, ModuleInfo and LoadProjectData before the window is built: the constructor fetches
//    the shared commands once.
//  - Every call into the plug-in goes through the session's PluginGate, one at a time: an action
//    while the gate is busy (inside a message box of the plug-in's) is refused with a note in the
//    status bar. A failure result is shown in the status bar with its code and
//    meaning ("Save failed: error 0x800A004B (...)") and the host keeps running.
//  - The operator's choice of the DMX input is only asked for (dmxInputChosen()); the window's
//    owner switches the input and tells the window with showDmxInput().
//  - Quit (button, Ctrl+Q, the frame's close button) asks the plug-in AskToSaveProjectData
//    (it may show its own question). The user cancelling, or the call failing, keeps the window;
//    otherwise quitRequested() is emitted and the receiver ends the program (Term, release,
//    unload). The window never ends the program itself; once quitting was approved it closes
//    without asking again.

#include <QMainWindow>
#include <QString>
#include <functional>

#include "host/desktop/DmxStatusPanel.h"
#include "host/desktop/StatusMessages.h"
#include "host/session/PluginSession.h"

class QCloseEvent;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace notecast::host {

class HostMainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // objectNames, for people reading a widget dump and for tests.
  static constexpr const char* kWindowName = "notecastHost";
  static constexpr const char* kProjectName = "projectName";
  static constexpr const char* kEventFileName = "eventFile";
  static constexpr const char* kCommandListName = "commandList";
  static constexpr const char* kRefreshButtonName = "refreshButton";
  static constexpr const char* kFireButtonName = "fireButton";
  static constexpr const char* kConfigureButtonName = "configureButton";
  static constexpr const char* kSaveButtonName = "saveButton";
  static constexpr const char* kQuitButtonName = "quitButton";
  static constexpr const char* kQuitActionName = "quitAction";

  // Successes fade from the status bar after this long; failures stay until the next message.
  static constexpr int kSuccessMessageMs = 5000;

  // `projectBase`: the project's path without extension, empty when no project is open.
  // `dmxStatus`: the DMX input's status, null without an input.
  HostMainWindow(PluginSession& session, QString projectBase,
                 DmxStatusPanel::StatusProvider dmxStatus, QWidget* parent = nullptr);

  // Fetches the shared commands again (GetFirstOptions); on failure the list is left empty.
  void refreshCommands();
  // Shows the DMX status now (connect DmxInput::statusChanged here); a timer also does it.
  void refreshDmxStatus();
  // The DMX input is another now: its status (null: none), and its source as the chooser shows
  // it ("ola:1,2").
  void showDmxInput(DmxStatusPanel::StatusProvider dmxStatus, const QString& source);
  // Configure on the plug-in object: the plug-in shows its configuration window.
  void configure();
  // SaveProjectData on the plug-in's window: writes BASE.Notecast.
  void save();
  // Fires the selected command; nothing when none is selected.
  void fireSelectedCommand();
  // Asks the plug-in about unsaved changes; true (and quitRequested() emitted) when the host
  // may end.
  bool requestQuit();
  // Shows a failure in the status bar until the next message (the status bar may cut it; the
  // log behind "Messages" has it whole).
  void showFailure(const QString& text);
  // Where the failures the window itself finds (a refused DMX input, a failed call into the
  // plug-in) are also told whole, besides the status bar: the host's standard error.
  void reportFailuresTo(std::function<void(const std::string&)> report) {
    report_ = std::move(report);
  }
  // Shows a success in the status bar for kSuccessMessageMs.
  void showSuccess(const QString& text);

 signals:
  void quitRequested();
  // The operator applied a DMX input: "ola:1,2", or empty for none.
  void dmxInputChosen(const QString& source);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* buildProjectBox();
  QWidget* buildCommandBox();
  QWidget* buildButtonRow();
  QPushButton* addButton(const QString& text, const char* objectName);

  // The window's single way into the plug-in: runs `call` inside the gate and shows a failure
  // result (returned or thrown as FailedResult) or another exception as "ACTION failed: ...".
  // True on success. Refuses, without calling, while the gate is busy.
  bool callPlugin(const QString& action, const std::function<HRESULT()>& call);

  void fire(QListWidgetItem* item);
  void updateFireButton();
  // A failure found here: shown, and reported.
  void tellFailure(const QString& text);

  PluginSession& session_;
  QString projectBase_;
  QString eventFile_;  // as the plug-in names it; empty without a project
  std::function<void(const std::string&)> report_;
  StatusMessages* messages_ = nullptr;
  DmxStatusPanel* dmxPanel_ = nullptr;
  QListWidget* commandList_ = nullptr;
  QPushButton* fireButton_ = nullptr;
  bool askingToSave_ = false;  // the plug-in's question runs a loop of its own meanwhile
  bool quitApproved_ = false;
};

}  // namespace notecast::host
